"""The module in everyday use: the library's trace in the logging module,
values as people write them, clear errors for wrong calls, the connection
as sxtool makes it, time stamps and a DataFrame."""

import logging

import pytest

import sxcmdif
from conftest import wait_for


def test_trace_lines_go_to_the_logging_module_not_to_standard_output(caplog, capfd):
    caplog.set_level(logging.DEBUG, logger="sxcmdif")
    with sxcmdif.Tracker.simulated():
        pass
    assert wait_for(lambda: any("CSXserIO::SetTrace : btrace=true" in r.getMessage() for r in caplog.records))
    record = next(r for r in caplog.records if "CSXserIO::SetTrace : btrace=true" in r.getMessage())
    assert record.name == "sxcmdif" and record.levelno == logging.INFO
    assert capfd.readouterr().out == ""


def test_units_as_words_or_enumerations(tracker):
    tracker.set("units", ("cm", "deg"))
    u = tracker.get("units")
    assert u.pos_units is sxcmdif.PosUnits.CM and u.pos_units == 2
    assert u.ori_units is sxcmdif.OriUnits.EULER_DEGREE
    tracker.set("units", {"pos_units": sxcmdif.PosUnits.METER, "ori_units": "quaternion"})
    assert tracker.get("units") == sxcmdif.Units(3, 2)
    with pytest.raises(ValueError) as e:
        tracker.set("units", ("parsec", "deg"))
    assert str(e.value) == "Units.pos_units: unknown position units 'parsec' (one of inch|foot|cm|meter)"
    with pytest.raises(TypeError) as e:
        sxcmdif.Units(pos_units=1.5)
    assert str(e.value) == ("Units.pos_units takes a PosUnits member, a number or one of the words "
                            "inch|foot|cm|meter, not float")


def test_frame_rate_in_hz(tracker):
    tracker.set("framerate", 120)
    assert tracker.get("framerate").hz == 120
    for hz in (100, 5):
        with pytest.raises(ValueError) as e:
            tracker.set("framerate", hz)
        assert str(e.value) == (f"framerate: the tracker has no frame rate of {hz} Hz: it has 30, 60, 120, 240, "
                                "480 or 960 Hz")
    assert tracker.get("framerate").hz == 120  # nothing was sent


def test_wrong_calls_name_what_is_accepted(tracker):
    cases = [
        (lambda: tracker.get(5), TypeError, "get() takes the item's name as a str (see sxcmdif.ITEMS), not int"),
        (lambda: tracker.get("tipoffset", sensor="a"), TypeError,
         'get("tipoffset"): sensor takes a sensor number 0 to 15, not str'),
        (lambda: tracker.get("tipoffset"), ValueError,
         'get("tipoffset"): tipoffset addresses a sensor: give sensor= (0 to 15)'),
        (lambda: tracker.get("units", sensor=1), ValueError,
         'get("units"): units does not address a sensor: it takes no sensor='),
        (lambda: tracker.set("tipoffset", None, sensor=0), TypeError,
         'set("tipoffset") needs a value: a TipOffset, a tuple or dict of all its fields (x, y, z), or the words of '
         'sxtool set in one str ("X Y Z")'),
        (lambda: setattr(tracker, "timeout_ms", "x"), TypeError,
         "timeout_ms takes a number of milliseconds (0 or more), not str"),
        (lambda: sxcmdif.Tracker.simulated(sensors="4"), TypeError,
         "simulated(): sensors takes a whole number 1 to 16, not str"),
        (lambda: sxcmdif.Tracker.simulated(sensors=17), ValueError, "simulated(): sensors takes 1 to 16, not 17"),
        (lambda: sxcmdif.Tracker.simulated(rate=100), ValueError,
         "simulated(): rate: the tracker has no frame rate of 100 Hz: it has 30, 60, 120, 240, 480 or 960 Hz"),
        (lambda: sxcmdif.Tracker.serial(port=1, retries=0), ValueError, "serial(): retries takes 1 to 100, not 0"),
    ]
    for call, kind, message in cases:
        with pytest.raises(kind) as e:
            call()
        assert str(e.value) == message


def test_connection_waits_as_sxtool_does():
    with sxcmdif.Tracker.simulated() as t:
        assert t.timeout_ms == sxcmdif.DEFAULT_TIMEOUT_MS == 500
    with sxcmdif.Tracker.simulated(timeout_ms=120, retries=1) as t:
        assert t.timeout_ms == 120


def test_frames_carry_the_host_time_stamp(tracker):
    frames = list(tracker.stream(frames=5))
    stamps = [f.timestamp_ns for f in frames]
    assert stamps[0] > 0 and stamps == sorted(stamps) and len(set(stamps)) == 5
    assert "\r" not in str(frames[0])


def test_frames_to_dataframe(tracker):
    frames = list(tracker.stream(frames=3))
    try:
        import pandas  # noqa: F401  pylint: disable=import-outside-toplevel,unused-import
    except ImportError:
        with pytest.raises(ImportError) as e:
            sxcmdif.frames_to_dataframe(frames)
        assert str(e.value).startswith("frames_to_dataframe needs pandas")
        return
    df = sxcmdif.frames_to_dataframe(frames)
    assert len(df) == 12 and list(df["sensor"][:4]) == [0, 1, 2, 3]
    assert list(df.columns[:4]) == ["timestamp_ns", "frame_count", "seq", "sensor"]
