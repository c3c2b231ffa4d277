"""Failures raise SXError with the library's code, detail and text."""

import pytest

import sxcmdif


def test_sensor_out_of_range(tracker):
    with pytest.raises(sxcmdif.SXError) as e:
        tracker.get("filter", sensor=17)
    err = e.value
    assert err.code == sxcmdif.ErrorCode.E_SXERR_INVALID_SENSOR == 6
    assert err.detail == 0 and err.value == 6
    assert err.text == "E_SXERR_INVALID_SENSOR" == sxcmdif.error_text(6)
    assert "sensor 17" in err.operation and "E_SXERR_INVALID_SENSOR" in str(err)


def test_get_for_every_sensor_is_refused(tracker):
    with pytest.raises(sxcmdif.SXError) as e:
        tracker.get("filter")
    assert e.value.code == sxcmdif.ErrorCode.E_SXERR_INVALID_SENSOR_ACT


def test_refused_command(tracker):
    tracker.set_faults(nak_all=True)
    with pytest.raises(sxcmdif.SXError) as e:
        tracker.get("units")
    assert e.value.code == sxcmdif.ErrorCode.E_SXERR_NAK_RESP
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
