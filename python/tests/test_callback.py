"""The callback path: frames on the reading thread."""

import subprocess
import sys
import threading
import time

import pytest

import sxcmdif

from conftest import wait_for


def test_callback_receives_frames_on_another_thread(tracker):
    got = []
    threads = set()

    def on_frame(frame):
        got.append(frame)
        threads.add(threading.get_ident())

    tracker.on_frame(on_frame)
    tracker.start()
    assert wait_for(lambda: len(got) >= 20)
    tracker.on_frame(None)
    n = len(got)
    time.sleep(0.1)
    assert len(got) == n  # nothing after removal
    tracker.stop()
    counts = [f.frame_count for f in got]
    assert all(b > a for a, b in zip(counts, counts[1:]))
    assert [f.seq for f in got[:3]] == [1, 2, 3]
    assert got[0].positions.shape == (4, 3)
    assert threading.get_ident() not in threads


def test_exceptions_in_the_callback_are_reported_not_fatal(tracker, monkeypatch):
    reported = []
    monkeypatch.setattr(sys, "unraisablehook", lambda u: reported.append(u.exc_value))
    calls = []

    def on_frame(frame):
        calls.append(frame.frame_count)
        raise KeyError("in the callback")

    tracker.on_frame(on_frame)
    tracker.start()
    assert wait_for(lambda: len(calls) >= 5)
    tracker.on_frame(None)
    tracker.stop()
    # The first is reported with its traceback, the others only counted.
    assert len(reported) == 1 and isinstance(reported[0], KeyError)
    assert tracker.callback_errors == len(calls) >= 5


def test_queue_readers_refuse_while_a_callback_takes_the_frames(tracker):
    tracker.on_frame(lambda f: None)
    with pytest.raises(ValueError):
        next(tracker.stream())
    with pytest.raises(ValueError):
        tracker.read()
    tracker.on_frame(None)
    assert next(tracker.stream()).positions.shape == (4, 3)


def test_callback_may_not_send_commands_or_close(tracker, monkeypatch):
    # The callback holds the reading thread, which alone takes answers in.
    reported = []
    monkeypatch.setattr(sys, "unraisablehook", lambda u: reported.append(u.exc_value))
    seen = []

    def on_frame(frame):
        seen.append(tracker.pending)  # no command: allowed
        if len(seen) == 1:
            tracker.get("units")
        elif len(seen) == 2:
            tracker.close()

    tracker.on_frame(on_frame)
    tracker.start()
    assert wait_for(lambda: tracker.callback_errors >= 2)
    tracker.on_frame(None)
    assert len(reported) == 1 and isinstance(reported[0], RuntimeError)
    assert "callback" in str(reported[0])
    assert tracker.is_open
    assert tracker.get("units") == sxcmdif.Units()


def test_interpreter_exit_with_a_callback_running():
    # The reading thread keeps calling back while the interpreter ends: the
    # open tracker is closed first and the process ends cleanly.
    code = (
        "import sxcmdif, time\n"
        "t = sxcmdif.Tracker.simulated(rate=960)\n"
        "t.on_frame(lambda f: time.sleep(0.001))\n"
        "t.start()\n"
        "time.sleep(0.3)\n"
        "print('leaving')\n"
    )
    r = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=60)
    assert r.returncode == 0, r.stderr
    assert "leaving" in r.stdout
