"""Failures raise SXError with the library's code, detail and text."""

import pytest

import sxcmdif


def test_sensor_out_of_range(tracker):
    # Refused before anything is sent, naming what is accepted.
    with pytest.raises(ValueError) as e:
        tracker.get("filter", sensor=17)
    assert str(e.value) == 'get("filter"): sensor 17 does not exist: sensors are numbered 0 to 15'
    with pytest.raises(ValueError) as e:
        tracker.get("sourcecfg", source=4)
    assert str(e.value) == 'get("sourcecfg"): source 4 does not exist: sources are numbered 0 to 3'


def test_get_for_every_sensor_is_refused(tracker):
    with pytest.raises(ValueError) as e:
        tracker.get("filter")
    assert str(e.value) == 'get("filter"): filter addresses a sensor: give sensor= (0 to 15)'


def test_refused_command(tracker):
    tracker.set_faults(nak_all=True)
    with pytest.raises(sxcmdif.SXError) as e:
        tracker.get("units")
    err = e.value
    assert err.code == sxcmdif.ErrorCode.E_SXERR_NAK_RESP == 1
    assert err.detail == 0 and err.value == 1
    assert err.text == "E_SXERR_NAK_RESP" == sxcmdif.error_text(1)
    assert err.operation == "get units"
    # The code's name, then what it means and what to try.
    assert str(err) == ("get units: E_SXERR_NAK_RESP (1): the tracker refused the command or its value; check the "
                        "value's range and the units in force (sxtool set --help lists the values)")
    tracker.set_faults()
    assert tracker.get("units") == sxcmdif.Units()


def test_unanswered_command(tracker):
    tracker.timeout_ms = 50
    tracker.set_faults(withhold_responses=True)
    with pytest.raises(sxcmdif.SXError) as e:
        tracker.get("framerate")
    assert e.value.code == sxcmdif.ErrorCode.E_CTXERR_DEV_RECV_QUEUE_EMPTY


def test_no_answer_at_connection():
    with pytest.raises(sxcmdif.SXError) as e:
        sxcmdif.Tracker.simulated(withhold_responses=True)
    assert e.value.code == sxcmdif.ErrorCode.E_SXERR_NOTFOUND


def test_error_texts():
    assert sxcmdif.error_text(0) == "E_SX_SUCCESS"
    assert sxcmdif.error_text(20) == "E_CTXERR_INVALID_DEVHND Invalid Device Handle"
    assert sxcmdif.error_text(31) == "SX_ERR NOT DEFINED"
    assert sxcmdif.ErrorCode(24).name == "E_CTXERR_NO_MORE_DATA"
    assert issubclass(sxcmdif.SXError, Exception)
