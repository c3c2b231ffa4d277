"""No stall unnoticed: stream() over a tracker that falls silent, hangs up
its line, and comes back (sxsim in a process of its own, its line behind a
link that follows it)."""

import os
import subprocess
import warnings

import pytest

import sxcmdif


@pytest.fixture
def sxsim(tmp_path):
    """Starts sxsim with the arguments given and opens a Tracker on its line."""
    procs = []

    def start(*args):
        link = str(tmp_path / "line")
        p = subprocess.Popen([os.environ["SXSIM"], "--quiet", "--link", link, *args], stdout=subprocess.PIPE, text=True)
        procs.append(p)
        assert p.stdout.readline().strip() == link
        os.environ["SXSERIO_PORTS"] = link
        t = sxcmdif.Tracker.serial(1)
        t.timeout_ms = 500
        return t

    yield start
    for p in procs:
        p.terminate()
        p.wait()


def run(tracker, **kwargs):
    """Frames of a stream and the warnings it gave."""
    with warnings.catch_warnings(record=True) as said:
        warnings.simplefilter("always")
        frames = list(tracker.stream(**kwargs))
    assert all(w.category is sxcmdif.StreamWarning for w in said)
    return frames, [str(w.message) for w in said]


def test_silence_is_a_warning_and_counted():
    with sxcmdif.Tracker.simulated(sensors=1) as t:
        t.timeout_ms = 500
        t.start()
        # Neither frames nor answers: a silent tracker, not a lost line.
        t.set_faults(drop_every_n=1, withhold_responses=True)
        frames, said = run(t, seconds=1.4)
        assert said == ["no frame for 1.0 s"]
        assert t.stream_counts == {"stalls": 1, "lines_lost": 0, "reconnections": 0, "frames_missed": 0,
                                   "lost": False}


def test_a_hung_up_line_raises_naming_it(sxsim):
    with sxsim("--close-after", "0.8") as t:
        with pytest.raises(sxcmdif.SXError) as e:
            list(t.stream(seconds=5))
        assert e.value.code == sxcmdif.ErrorCode.E_DEVIOERR_SER_WRITERR
        assert str(e.value).startswith("stream: line lost: the serial line was hung up: E_DEVIOERR_SER_WRITERR")
        assert t.stream_counts["lost"] and t.stream_counts["lines_lost"] == 1


def test_reconnect_makes_the_settings_again_and_goes_on(sxsim):
    # The unit comes back as switched off and on: inches, no output, its
    # frame count from 0.
    with sxsim("--close-after", "0.8", "--reopen-after", "0.4", "--reopen-reset") as t:
        t.set("units", ("cm", "euler_degree"))
        frames, said = run(t, seconds=2.6, reconnect=True)
        assert said[0] == "line lost: the serial line was hung up; connecting again every second"
        assert said[1].startswith("reconnected after ") and said[1].endswith(" frames missed")
        assert " without frames; about " in said[1]  # estimated: the count started again
        assert len(said) == 2
        counts = t.stream_counts
        assert (counts["lines_lost"], counts["reconnections"], counts["lost"]) == (1, 1, False)
        assert counts["frames_missed"] > 0
        # The frames go on from the new connection, its count from 0.
        restart = next(i for i in range(1, len(frames)) if frames[i].frame_count < frames[i - 1].frame_count)
        assert frames[restart].frame_count < 50 and len(frames) - restart > 50
        assert t.get("units").pos_units is sxcmdif.PosUnits.CM
