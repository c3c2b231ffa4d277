"""set() checks values as strictly as sxtool set: finite numbers, every field
of a record, clear TypeErrors, and the words sxtool takes; enumerations
print their words."""

import math

import pytest

import sxcmdif

FORMS = 'it takes a TipOffset, a tuple or dict of all its fields (x, y, z), or the words of sxtool set in one str ("X Y Z")'


def test_a_refused_value_names_the_call_and_the_forms_and_is_not_sent(tracker):
    tracker.set("tipoffset", (1, 2, 3), sensor=2)
    cases = [
        ((1, 2), TypeError, 'set("tipoffset"): 2 values for the 3 fields of a TipOffset; ' + FORMS),
        ({"x": 1, "z": 2}, TypeError, 'set("tipoffset"): the dict lacks y: every field of a TipOffset is needed; ' + FORMS),
        ({"x": 1, "y": 2, "z": 3, "w": 4}, TypeError, "set(\"tipoffset\"): a TipOffset has no field 'w'; " + FORMS),
        ((1, 2, "3"), TypeError, 'set("tipoffset"): TipOffset.z takes a number, not str; ' + FORMS),
        ((1, True, 3), TypeError, 'set("tipoffset"): TipOffset.y takes a number, not bool; ' + FORMS),
        (5, TypeError, 'set("tipoffset") takes a TipOffset, a tuple or dict of all its fields (x, y, z), or the '
                       'words of sxtool set in one str ("X Y Z"), not int'),
        ((1, math.nan, 3), ValueError, "TipOffset.y takes a finite number, not nan"),
        ((1, 2, -math.inf), ValueError, "TipOffset.z takes a finite number, not -inf"),
        ((1e39, 2, 3), ValueError, "TipOffset.x takes a number within the range of a float, not 1e+39"),
        ("1 2 nan", ValueError, 'set("tipoffset"): \'nan\' is not a finite number; expected X Y Z'),
        ("1 2", ValueError, 'set("tipoffset"): expected X Y Z'),
    ]
    for value, kind, message in cases:
        with pytest.raises(kind) as e:
            tracker.set("tipoffset", value, sensor=2)
        assert str(e.value) == message, value
    assert tracker.get("tipoffset", sensor=2) == sxcmdif.TipOffset(1, 2, 3)


def test_fields_take_their_kind_and_range():
    cases = [
        (lambda: sxcmdif.Units(pos_units=9), ValueError,
         "Units.pos_units: 9 is no position units (0 to 3, or one of inch|foot|cm|meter)"),
        (lambda: sxcmdif.SourceSelect(-1), ValueError, "SourceSelect.SRC_SEL_MAP takes 0 to 4294967295, not -1"),
        (lambda: sxcmdif.SerialConfig(baudrate=16), ValueError, "SerialConfig.baudrate takes 0 to 15, not 16"),
        (lambda: sxcmdif.Hemisphere(track_en=2), ValueError, "Hemisphere.track_en takes True or False (or 1 or 0), not 2"),
        (lambda: sxcmdif.Hemisphere(vector="xyz"), TypeError, "Hemisphere.vector takes a sequence of 3 values, not str"),
        (lambda: sxcmdif.NoiseProfile(Qq=[[0.0] * 3, [0.0] * 3, [0.0, math.inf, 0.0]]), ValueError,
         "NoiseProfile.Qq[2][1] takes a finite number, not inf"),
        (lambda: sxcmdif.WhoAmI(device_name=5), TypeError, "WhoAmI.device_name takes a str, not int"),
    ]
    for call, kind, message in cases:
        with pytest.raises(kind) as e:
            call()
        assert str(e.value) == message


def test_set_takes_the_words_of_sxtool_set(tracker):
    tracker.set("hemisphere", "pos_z", sensor=0)
    assert tracker.get("hemisphere", sensor=0) == sxcmdif.Hemisphere(track_en=False, auto_en=False,
                                                                     vector=(0.0, 0.0, 1.0))
    tracker.set("hemisphere", "neg_x auto", sensor=1)
    assert tracker.get("hemisphere", sensor=1) == sxcmdif.Hemisphere(track_en=True, auto_en=True,
                                                                     vector=(-1.0, 0.0, 0.0))
    tracker.set("sync", "on")
    assert tracker.get("sync").value == 1
    tracker.set("framerate", "480")
    assert tracker.get("framerate").hz == 480
    # Read in the units in force, as sxtool reads them: four values under quaternion units.
    tracker.set("units", "cm qtrn")
    tracker.set("boresight", "0.5 0.5 0.5 0.5", sensor=3)
    assert tracker.get("boresight", sensor=3).ori == (0.5, 0.5, 0.5, 0.5)
    with pytest.raises(ValueError) as e:
        tracker.set("hemisphere", "pos_q", sensor=0)
    assert str(e.value) == ('set("hemisphere"): unknown hemisphere \'pos_q\' (one of pos_x|pos_y|pos_z|neg_x|neg_y|'
                            'neg_z); expected PRESET|X Y Z [auto|track]')
    with pytest.raises(TypeError) as e:
        tracker.set("predfilterext", "on", sensor=0)
    assert str(e.value).endswith("not str")


def test_enumerations_print_their_words(tracker):
    tracker.set("units", ("cm", "rad"))
    u = tracker.get("units")
    assert (str(u.pos_units), f"{u.ori_units}", f"{u.pos_units:d}", f"{u.pos_units:>4}") == \
        ("cm", "euler_radian", "2", "  cm")
    assert str(sxcmdif.FilterLevel.HEAVY) == "heavy" and repr(sxcmdif.PosUnits.CM) == "<PosUnits.CM: 2>"
