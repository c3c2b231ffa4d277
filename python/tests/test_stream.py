"""P&O frames: the generator, the bulk read and the single request."""

import time

import numpy as np
import pytest

import sxcmdif


def test_contract():
    with sxcmdif.Tracker.simulated(sensors=4) as t:
        frames = list(t.stream(frames=50))
        assert len(frames) == 50 and frames[0].positions.shape == (4, 3)


def test_frame_counts_increase(tracker):
    frames = list(tracker.stream(frames=30))
    counts = [f.frame_count for f in frames]
    assert all(b > a for a, b in zip(counts, counts[1:]))
    seqs = [f.seq for f in frames]
    assert all(b > a for a, b in zip(seqs, seqs[1:]))
    stamps = [f.timestamp_ns for f in frames]
    assert stamps[0] > 0 and all(b >= a for a, b in zip(stamps, stamps[1:]))


def test_frame_arrays(tracker):
    f = next(tracker.stream())
    assert f.sensors.tolist() == [0, 1, 2, 3]
    assert f.sensors.dtype.kind == "i"
    assert f.positions.dtype == np.float64 and f.positions.shape == (4, 3)
    assert f.orientations.shape == (4, 3)
    assert np.all(np.isfinite(f.positions))
    assert isinstance(f.raw, bytes) and f.raw[:4] == b"SXRP"
    assert len(f) == 4 and f.accelerations is None
    assert str(f)  # the library's report


def test_quaternion_units_give_four_columns(tracker):
    tracker.set("units", sxcmdif.Units(pos_units=2, ori_units=2))
    f = next(tracker.stream())
    assert f.orientations.shape == (4, 4)
    assert f.ori_units == 2 and f.pos_units == 2
    norms = np.linalg.norm(f.orientations, axis=1)
    assert np.allclose(norms, 1.0, atol=1e-3)


def test_generator_stops_the_output_it_started(tracker):
    gen = tracker.stream()
    next(gen)
    assert tracker.streaming
    gen.close()
    assert not tracker.streaming


def test_stream_by_time(tracker):
    frames = list(tracker.stream(seconds=0.25))
    assert 10 < len(frames) < 200


def test_read_returns_a_structured_array(tracker):
    tracker.start()
    try:
        # At 240 Hz some 50 frames arrive within a quarter second.
        list(tracker.stream(frames=1))
        import time
        time.sleep(0.25)
        rows = tracker.read()
    finally:
        tracker.stop()
    assert rows.dtype == sxcmdif.FRAME_DTYPE
    assert rows.ndim == 1 and len(rows) > 10
    assert np.all(np.diff(rows["frame_count"].astype(np.int64)) > 0)
    assert np.all(rows["sensor_count"] == 4)
    assert rows["sensors"][0].tolist() == [0, 1, 2, 3] + [-1] * 12
    assert rows["positions"].shape == (len(rows), 16, 3)
    assert np.all(np.isfinite(rows["positions"][:, :4]))
    assert np.all(np.isnan(rows["positions"][:, 4:]))
    assert np.all(np.isnan(rows["orientations"][:, :, 3]))  # Euler units: three values
    # Frames sent before the stop was answered may still have been queued
    # after the first read; once they are taken the queue stays empty.
    tracker.read()
    assert tracker.read().shape == (0,)


def test_read_at_most(tracker):
    list(tracker.stream(frames=1))  # output stopped again; frames may still be queued
    tracker.start()
    try:
        list(tracker.stream(frames=5))
        assert len(tracker.read(max_frames=0)) == 0
        list(tracker.stream(frames=3))
    finally:
        tracker.stop()
    assert tracker.pending >= 0
    tracker.clear()
    assert tracker.pending == 0


def test_single(tracker):
    f = tracker.single()
    assert f.sensors.tolist() == [0, 1, 2, 3]
    assert f.positions.shape == (4, 3)


def test_acceleration_records():
    with sxcmdif.Tracker.simulated(sensors=2, accel_records=True) as t:
        f = next(t.stream())
        assert f.accelerations is not None and f.accelerations.shape == (2, 4)
        assert t.read().dtype == sxcmdif.FRAME_DTYPE


def test_timeout_raises_sxerror():
    # The simulator drops every cycle: no frame comes.
    with sxcmdif.Tracker.simulated(drop_every_n=1) as t:
        with pytest.raises(sxcmdif.SXError) as e:
            next(t.stream(timeout=0.2))
        assert e.value.code == sxcmdif.ErrorCode.E_SXERR_TIMEOUT
        assert not t.streaming


def test_measurement_times_are_regular_where_arrivals_jitter():
    """time_ns: the frame's count fitted to its arrivals (docs/timing.md)."""
    with sxcmdif.Tracker.simulated(sensors=1, rate=240, jitter_us=4000, drift_ppm=100) as t:
        frames = list(t.stream(seconds=3))
        t.start()
        time.sleep(0.2)
        rows = t.read()
        t.stop()
    counts = np.array([f.frame_count for f in frames], dtype=np.int64)
    times = np.array([f.time_ns for f in frames], dtype=np.int64)
    arrivals = np.array([f.timestamp_ns for f in frames], dtype=np.int64)
    assert np.all(np.diff(times) >= 0)
    # The system clock of now, within the run.
    assert abs(int(times[-1]) - time.time_ns()) < 10_000_000_000
    # Once the model has settled: each frame's time against a line through
    # the counts strays by far less than the arrivals do.
    settled = arrivals - arrivals[0] > 1_500_000_000
    period = 1e9 / 240 / (1 + 100e-6)

    def spread(stamps):
        r = stamps[settled] - counts[settled] * period
        return np.percentile(np.abs(r - np.median(r)), 99)

    assert spread(times) < 1_000_000 < spread(arrivals)
    assert rows.dtype.names[-1] == "time_ns" and len(rows) > 10
    assert np.all(rows["time_ns"] > 0) and np.all(np.diff(rows["time_ns"]) >= 0)
