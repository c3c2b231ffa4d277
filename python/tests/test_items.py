"""Configuration items: get, set and reset round trips, and the record
classes themselves."""

import copy
import pickle

import pytest

import sxcmdif

# A value different from the unit's default, for every item that takes SET
# and GET, with the level it is addressed at.
CHANGES = [
    ("units", sxcmdif.Units(pos_units=2, ori_units=2), {}),
    ("framerate", sxcmdif.FrameRate.from_hz(120), {}),
    ("sync", sxcmdif.SyncMode(1), {}),
    ("dualoutput", sxcmdif.DualOutput(1), {}),
    ("oor", sxcmdif.OorMode(1), {}),
    ("stylus", sxcmdif.StylusMode(2), {}),
    ("selfcal", sxcmdif.SelfCal(state=0, correction_rate=3, custom_rate=0.25), {}),
    ("sourcecfg", sxcmdif.SourceConfig(srcfreq=2, position=(1.0, 2.0, 3.0), rotation=(10.0, 20.0, 30.0, 0.0)),
     {"source": 0}),
    ("sourcerot", sxcmdif.SourceRotation(srcfreq=0, rotation=(5.0, 6.0, 7.0, 0.0)), {"source": 0}),
    ("filter", sxcmdif.Filter(level=3, F=0.02, Flow=0.02, Fhigh=0.8, MaxT=0.95), {"sensor": 1}),
    ("hemisphere", sxcmdif.Hemisphere(track_en=True, auto_en=False, vector=(0.0, 0.0, 1.0)), {"sensor": 1}),
    ("boresight", sxcmdif.Boresight(ori=(10.0, 20.0, 30.0, 0.0)), {"sensor": 2}),
    ("tipoffset", sxcmdif.TipOffset(1.5, -2.5, 3.25), {"sensor": 0}),
    ("increment", sxcmdif.Increment(enabled=1, fPosThresh=0.5, fOriThresh=1.0), {"sensor": 3}),
    ("srcselect", sxcmdif.SourceSelect(3), {"sensor": 0}),
    ("predfilter", sxcmdif.PredFilter(qFil_on=1, pFil_on=1, predTime=0.03), {"sensor": 1}),
    ("virtual", sxcmdif.VirtualSensor(Input1=2), {"sensor": 1}),
    ("fttmode", sxcmdif.FttMode(1), {"sensor": 1}),
    ("origin", sxcmdif.SensorOrigin(2), {"sensor": 1}),
]


@pytest.mark.parametrize("item,value,where", CHANGES, ids=[c[0] for c in CHANGES])
def test_set_get_reset_round_trip(tracker, item, value, where):
    default = tracker.get(item, **where)
    assert default != value
    tracker.set(item, value, **where)
    assert tracker.get(item, **where) == value
    tracker.reset(item, **where)
    assert tracker.get(item, **where) == default


def test_prediction_filter_with_its_noise_profile(tracker):
    value = tracker.get("predfilterext", sensor=2)
    noise = sxcmdif.NoiseProfile(Rq=[[1.0 if i == j else 0.0 for j in range(4)] for i in range(4)])
    changed = value.replace(qFil_on=1, noise=noise)
    tracker.set("predfilterext", changed, sensor=2)
    back = tracker.get("predfilterext", sensor=2)
    assert back == changed
    assert back.noise.Rq[3][3] == 1.0


def test_set_takes_a_dict_or_the_first_field(tracker):
    tracker.set("framerate", {"frame_rate": 4})
    assert tracker.get("framerate").hz == 480
    tracker.set("tipoffset", {"x": 1.0, "y": 0.0, "z": 2.0}, sensor=1)
    assert tracker.get("tipoffset", sensor=1) == sxcmdif.TipOffset(x=1.0, z=2.0)


def test_set_every_sensor_at_once(tracker):
    tracker.set("srcselect", sxcmdif.SourceSelect(1), sensor=None)
    tracker.set("increment", sxcmdif.Increment(enabled=1), sensor=None)
    for s in tracker.station_map.sensors:
        assert tracker.get("increment", sensor=s).enabled == 1


def test_source_configuration_is_read_in_the_units(tracker):
    tracker.set("units", sxcmdif.Units(pos_units=3, ori_units=0))
    value = tracker.get("sourcecfg", source=0)
    assert value.units == sxcmdif.Units(3, 0)
    assert "SRC_CONFIG:" in str(value)


def test_items_that_take_no_value(tracker):
    tracker.reset("framecount")
    tracker.set("selfcalsave")
    tracker.reset("block")
    tracker.persist()
    assert tracker.get("units") == sxcmdif.Units()


def test_wrong_addressing_and_names(tracker):
    with pytest.raises(ValueError):
        tracker.get("units", sensor=0)
    with pytest.raises(ValueError):
        tracker.get("filter", source=0)
    with pytest.raises(ValueError):
        tracker.get("sourcecfg")
    with pytest.raises(ValueError):
        tracker.get("no-such-item")
    with pytest.raises(TypeError):
        tracker.set("units", None)
    with pytest.raises(sxcmdif.SXError) as e:
        tracker.set("whoami", sxcmdif.WhoAmI())
    assert e.value.code == sxcmdif.ErrorCode.E_SXERR_INVALID_ACTION


def test_every_item_is_listed():
    assert set(sxcmdif.ITEMS) >= {
        "units", "framerate", "filter", "hemisphere", "boresight", "tipoffset", "increment", "srcselect",
        "sourcecfg", "sourcerot", "sync", "dualoutput", "oor", "stylus", "serial", "seuid", "selfcal",
        "predfilter", "predfilterext", "virtual", "fttmode", "origin", "stationmap", "bit", "whoami"}
    assert sxcmdif.ITEMS["filter"].record is sxcmdif.Filter
    assert sxcmdif.ITEMS["filter"].levels == ("sensor",)


# ---- The record classes --------------------------------------------------------

def test_record_defaults_fields_and_report_text():
    u = sxcmdif.Units()
    assert (u.pos_units, u.ori_units) == (0, 0)
    assert u._fields == ("pos_units", "ori_units")
    assert str(u) == "UNITS_CONFIG:\n   pos_units: POS_INCH\n   ori_units: ORI_EULER_DEGREE\n"
    assert str(u) == u.report()
    assert u.report(header=False, one_line=True) == "pos_units: POS_INCH, ori_units: ORI_EULER_DEGREE\n"
    assert repr(u) == "Units(pos_units=<PosUnits.INCH: 0>, ori_units=<OriUnits.EULER_DEGREE: 0>)"
    assert sxcmdif.FrameRate().hz == 240
    assert sxcmdif.Filter().level == 2


def test_record_construction_copies_bytes_and_pickling():
    f = sxcmdif.Filter(4, 0.1, MaxT=0.5)
    assert f.level == 4 and abs(f.F - 0.1) < 1e-6 and f.MaxT == 0.5
    assert f.replace(level=1).level == 1 and f.level == 4
    assert sxcmdif.Filter.from_bytes(f.to_bytes()) == f
    assert bytes(f) == f.to_bytes() and len(bytes(f)) == sxcmdif.Filter.SIZE == 20
    assert pickle.loads(pickle.dumps(f)) == f
    assert copy.deepcopy(f) == f and copy.copy(f) is not f
    assert f._asdict()["level"] == 4
    with pytest.raises(TypeError):
        sxcmdif.Filter(bogus=1)
    with pytest.raises(ValueError):
        sxcmdif.Filter.from_bytes(b"\0" * 3)
    with pytest.raises(TypeError):
        sxcmdif.TipOffset().replace(x="no")
    with pytest.raises(ValueError):
        sxcmdif.Hemisphere(vector=(1.0, 2.0))


def test_bit_fields_and_texts():
    s = sxcmdif.SerialConfig(baudrate=7, parity=1, res=3)
    assert s.sercfg == 0xD7
    m = sxcmdif.StationMap(sensor_map=0b1011, source_map=0b11)
    assert m.map == 0x0300000B and m.sensors == [0, 1, 3] and m.sources == [0, 1]
    w = sxcmdif.WhoAmI(device_name="x" * 100)
    assert len(w.device_name) == 63
    h = sxcmdif.Hemisphere(track_en=True, auto_en=True)
    assert h.bf == 3
    with pytest.raises(ValueError):
        sxcmdif.FrameRate.from_hz(100)
