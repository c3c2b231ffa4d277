"""Connecting, identity and closing."""

import pytest

import sxcmdif


def test_identity_and_unit_id(tracker):
    who = tracker.identity
    assert isinstance(who, sxcmdif.WhoAmI)
    assert who.device_name
    assert who == tracker.get("whoami")
    assert tracker.seuid == tracker.get("seuid").seuID
    assert tracker.is_open and tracker.kind == "simulated"
    assert "simulated" in repr(tracker)


def test_station_map_lists_the_simulated_sensors():
    with sxcmdif.Tracker.simulated(sensors=3) as t:
        m = t.station_map
        assert m.sensors == [0, 1, 2]
        assert m.sensor_map == 0b111
        assert "STATION_MAP:" in str(m)


def test_identity_of_a_sensor_and_a_source(tracker):
    sensor = tracker.get("whoami", sensor=2)
    source = tracker.get("whoami", source=0)
    assert isinstance(sensor, sxcmdif.WhoAmI) and isinstance(source, sxcmdif.WhoAmI)
    assert sensor != tracker.identity


def test_leaving_the_block_closes_also_after_an_exception():
    with pytest.raises(RuntimeError):
        with sxcmdif.Tracker.simulated() as t:
            t.start()
            raise RuntimeError("boom")
    assert not t.is_open
    assert repr(t) == "<sxcmdif.Tracker closed>"
    t.close()  # again: nothing
    with pytest.raises(ValueError):
        t.get("units")


def test_report_line(tracker):
    assert tracker.report() == "   1   SIM-SEU-00000001   SXSIM Tracker SEU\n"


def test_simulated_rejects_unknown_options():
    with pytest.raises(TypeError):
        sxcmdif.Tracker.simulated(no_such_fault=1)
    with pytest.raises(ValueError):
        sxcmdif.Tracker.simulated(rate=100)


def test_version():
    assert sxcmdif.version()
    assert sxcmdif.__version__.count(".") == 2


def test_usb_serial_is_a_serial_number_and_not_a_tag():
    with pytest.raises(TypeError, match="serial is the tracker's serial number"):
        sxcmdif.Tracker.usb(serial=5)
    with pytest.raises(ValueError, match="give one of them"):
        sxcmdif.Tracker.usb(serial="SIM-SEU-00000001", tag=3)
