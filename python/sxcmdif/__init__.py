"""sxcmdif: the electromagnetic motion tracker SDK (SXCmdIF) for Python.

    import sxcmdif
    with sxcmdif.Tracker.simulated(sensors=4) as t:
        frames = list(t.stream(frames=50))
        assert len(frames) == 50 and frames[0].positions.shape == (4, 3)

A Tracker holds one connection (a library context with one device). Its
configuration items are read and written with get, set and reset; values are
small record classes (Units, Filter, ...) whose attributes are the payload
record's fields and whose str() is the library's report text. P&O frames come
one by one from stream(), all at once from read() as a numpy structured array,
singly from single(), or on the reading thread through on_frame(). Failures
raise SXError; wrong arguments raise ValueError or TypeError naming what
is accepted. Every call that waits releases the GIL.

Values are given as people write them: units as words or enumerations
(``t.set("units", ("cm", "deg"))``, ``PosUnits.CM``), the frame rate in Hz
(``t.set("framerate", 240)``), records as tuples or dicts of all their fields,
or the words of ``sxtool set`` (``t.set("hemisphere", "pos_z", sensor=0)``).
str() of an enumeration member is its word (``"cm"``).

The library's trace lines go to the logging module, logger ``sxcmdif``
(trace levels 0 and 1 as INFO, the others as DEBUG), so nothing shows unless
logging is set up to show it: ``logging.basicConfig(level=logging.DEBUG)``.
"""

from __future__ import annotations

import atexit
import enum
import logging
import threading
import time
import warnings
from typing import Any, Callable, Dict, Iterable, Iterator, Optional, Tuple, Union

from . import _core
from ._core import (
    FRAME_DTYPE,
    MAX_SENSORS,
    BitResult,
    CorrectionRate,
    FilterLevel,
    FilterTarget,
    Ftt,
    HemispherePreset,
    Origin,
    OriUnits,
    Parity,
    PosUnits,
    StartupHemisphere,
    Stylus,
    Boresight,
    DualOutput,
    Filter,
    Frame,
    FrameRate,
    FttMode,
    Hemisphere,
    Increment,
    NoiseProfile,
    OorMode,
    PredFilter,
    PredFilterExt,
    SelfCal,
    SensorOrigin,
    SerialConfig,
    SeuId,
    SourceConfig,
    SourceRotation,
    SourceSelect,
    StationMap,
    StylusMode,
    SXError,
    SyncMode,
    TipOffset,
    Units,
    VirtualSensor,
    WhoAmI,
    build_datetime,
    error_text,
    trace,
    version,
)

__version__ = _core.__version__

#: The library's error codes (the ``code`` of an SXError).
ErrorCode = enum.IntEnum("ErrorCode", list(_core._error_codes), module=__name__)
ErrorCode.__doc__ = "The error codes of the library; SXError.code is one of them."


class ItemInfo:
    """What one configuration item is: its record class, actions and levels."""

    __slots__ = ("name", "record", "actions", "levels", "doc")

    def __init__(self, name: str, record: Optional[type], actions: Tuple[str, ...],
                 levels: Tuple[str, ...], doc: str) -> None:
        self.name = name
        self.record = record
        self.actions = actions
        self.levels = levels
        self.doc = doc

    def __repr__(self) -> str:
        rec = self.record.__name__ if self.record is not None else None
        return (f"ItemInfo(name={self.name!r}, record={rec}, actions={self.actions!r}, "
                f"levels={self.levels!r})")


#: Every configuration item by name.
ITEMS: Dict[str, ItemInfo] = {row[0]: ItemInfo(*row) for row in _core._items}

# ---- The library's trace lines, to the logging module ----------------------------

logger = logging.getLogger("sxcmdif")


def _log_level(trace_level: int) -> int:
    return logging.INFO if trace_level <= 1 else logging.DEBUG


def _pump_trace() -> None:
    # Lines are queued by whichever thread writes them and logged here, so
    # no library lock is ever held while a handler runs.
    while True:
        lines = _core._trace_wait(0.5)
        if lines is None:
            return
        for level, line in lines:
            logger.log(_log_level(level), "%s", line)


_trace_thread = threading.Thread(target=_pump_trace, name="sxcmdif-trace", daemon=True)
_trace_thread.start()


@atexit.register
def _stop_trace() -> None:
    _core._trace_stop()
    _trace_thread.join(2.0)


# ---- Arguments --------------------------------------------------------------------

#: What the openers do unless told otherwise: commands wait this long for
#: their answers, and a serial connection is tried this often.
DEFAULT_TIMEOUT_MS = 500
DEFAULT_RETRIES = 3


def _int_arg(call: str, name: str, value: Any, low: int, high: int) -> int:
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{call}: {name} takes a whole number {low} to {high}, not {type(value).__name__}")
    if not low <= value <= high:
        raise ValueError(f"{call}: {name} takes {low} to {high}, not {value}")
    return value


class Tracker(_core.TrackerCore):
    """One tracker: a library context with one connected device.

    Open it with one of the class methods (usb, hub, serial, simulated) and
    use it as a context manager: leaving the ``with`` block stops continuous
    output and releases the device and the context, also after an exception.
    """

    #: What the last stream() saw: stalls, lines_lost, reconnections, frames_missed, lost.
    stream_counts: Dict[str, Any] = {}

    # ---- Opening -------------------------------------------------------------

    @classmethod
    def usb(cls, tag: int = 0, *, serial: Optional[str] = None, pid: Optional[int] = None,
            timeout_ms: int = DEFAULT_TIMEOUT_MS) -> "Tracker":
        """The first tracker on USB, or with ``serial`` the one with that hardware
        serial number (``sxtool list`` shows them; SXError naming the trackers
        found when none has it). A non-zero tag connects a tag device of the
        sibling family (product PID_Q7_TAG unless pid says otherwise). Commands
        wait timeout_ms for their answers."""
        _int_arg("usb()", "tag", tag, 0, 0xFFFFFFFF)
        _int_arg("usb()", "timeout_ms", timeout_ms, 0, 3600000)
        if serial is not None and (not isinstance(serial, str) or not serial):
            raise TypeError("usb(): serial is the tracker's serial number, a non-empty str")
        if serial is not None and tag != 0:
            raise ValueError("usb(): serial picks a tracker, tag a tag device: give one of them")
        t = cls()
        t._open_usb(tag, -1 if pid is None else _int_arg("usb()", "pid", pid, 0, 0xFFFF), timeout_ms, serial or "")
        return t

    @classmethod
    def hub(cls, *, timeout_ms: int = DEFAULT_TIMEOUT_MS) -> "Tracker":
        """A device through the sibling family's USB hub."""
        _int_arg("hub()", "timeout_ms", timeout_ms, 0, 3600000)
        t = cls()
        t._open_hub(timeout_ms)
        return t

    @classmethod
    def serial(cls, port: int = 0, cfg: Any = None, *, timeout_ms: int = DEFAULT_TIMEOUT_MS,
               retries: int = DEFAULT_RETRIES) -> "Tracker":
        """A tracker on serial port ``port`` (numbered from 1; 0: the first port
        that answers). cfg is the serial configuration (a SerialConfig or its
        word); None is 115200 baud without parity. The connection is tried up
        to ``retries`` times while nothing answers (a unit still starting, a
        loaded machine), as sxtool does; then commands wait timeout_ms for
        their answers."""
        _int_arg("serial()", "port", port, 0, 255)
        _int_arg("serial()", "timeout_ms", timeout_ms, 0, 3600000)
        _int_arg("serial()", "retries", retries, 1, 100)
        t = cls()
        t._open_serial(port, cfg, timeout_ms, retries)
        return t

    @classmethod
    def simulated(cls, sensors: int = 4, rate: int = 240, *, timeout_ms: int = DEFAULT_TIMEOUT_MS,
                  retries: int = DEFAULT_RETRIES, **options: Any) -> "Tracker":
        """A simulated tracker started in this process on a pseudo-terminal and
        connected through the serial transport (retries and timeout_ms as for
        serial).

        sensors: detected sensors 1 to 16; rate: frames per second (30, 60,
        120, 240, 480 or 960). Further keywords set up the simulator (sources,
        seuid, seed, static_pose, accel_records, drift_ppm) or inject faults,
        as set_faults takes them (drop_every_n, corrupt_frame_every_n,
        extra_sensor_every_n, sensor16_every_n, garbage_every_n, garbage_len,
        fault_cmd, corrupt_response_every_n, response_delay_ms,
        withhold_responses, wrong_command_first, nak_all, nak_warning,
        jitter_us).
        """
        _int_arg("simulated()", "sensors", sensors, 1, 16)
        if isinstance(rate, bool) or not isinstance(rate, (int, float)):
            raise TypeError(f"simulated(): rate takes a frame rate in Hz, not {type(rate).__name__}")
        _int_arg("simulated()", "timeout_ms", timeout_ms, 0, 3600000)
        _int_arg("simulated()", "retries", retries, 1, 100)
        t = cls()
        t._open_simulated(sensors, int(rate) if rate == int(rate) else -1, timeout_ms, retries, **options)
        return t

    def __enter__(self) -> "Tracker":
        return self

    def __exit__(self, *exc: Any) -> None:
        self.close()

    def __repr__(self) -> str:
        if not self.is_open:
            return "<sxcmdif.Tracker closed>"
        return f"<sxcmdif.Tracker {self.kind} seuid={self.seuid} {self.identity.device_name!r}>"

    # ---- Configuration ------------------------------------------------------

    @property
    def station_map(self) -> StationMap:
        """The sensors and sources the unit detects (a GET of the station map)."""
        return self.get("stationmap")

    # ---- P&O ------------------------------------------------------------------

    def stream(self, frames: Optional[int] = None, seconds: Optional[float] = None, *,
               timeout: Optional[float] = None, on_stall: str = "warn",
               reconnect: bool = False) -> Iterator[Frame]:
        """Yields P&O frames oldest first as they arrive.

        Stops after ``frames`` frames or ``seconds`` seconds, whichever comes
        first (neither: when the caller stops iterating). Continuous output is
        started when it is not running (the queue is cleared first) and stopped
        again when the generator ends.

        No frame for 1 s (or five frame periods, when that is longer) is a
        stall: a StreamWarning once per stall, and the stream goes on;
        ``on_stall="raise"`` raises SXError with code E_SXERR_TIMEOUT instead,
        and so does a ``timeout`` of seconds without a frame when one is given.
        A lost line (the serial line hung up, the USB device unplugged, the
        tracker reset) raises SXError naming what happened, with the library's
        code that told it. With ``reconnect=True`` the tracker is connected
        again every second instead, the settings this Tracker made are made
        again and the stream goes on from the new connection, each step said
        by a StreamWarning. ``stream_counts`` then holds the stalls, lines
        lost, reconnections and frames missed of the last stream.
        """
        if frames is not None and frames < 0:
            raise ValueError("frames: 0 or more")
        if on_stall not in ("warn", "raise"):
            raise ValueError("on_stall: 'warn' or 'raise', not %r" % (on_stall,))
        started = False
        if not self.streaming:
            self.start()
            started = True
        self._watch_begin(bool(reconnect))
        try:
            end = None if seconds is None else time.monotonic() + seconds
            last = time.monotonic()
            count = 0
            while frames is None or count < frames:
                wait = 0.1
                if end is not None:
                    left = end - time.monotonic()
                    if left <= 0:
                        return
                    wait = min(wait, left)
                frame, events = self._watch_next(wait)
                for kind, text, code in events:
                    if kind == "lost" and not reconnect:
                        _core._raise(code, "stream: " + text)
                    if kind == "stalled" and on_stall == "raise":
                        _core._raise(int(ErrorCode.E_SXERR_TIMEOUT), "stream: " + text)
                    warnings.warn(StreamWarning(text), stacklevel=2)
                now = time.monotonic()
                if frame is None:
                    if timeout is not None and now - last >= timeout:
                        _core._raise(int(ErrorCode.E_SXERR_TIMEOUT), "stream: no frame within %g s" % timeout)
                    continue
                last = now
                yield frame
                count += 1
        finally:
            self.stream_counts = self._watch_end()
            if started and self.is_open and self.streaming:
                try:
                    self.stop()
                except SXError:
                    if not self.stream_counts.get("lost"):
                        raise


class StreamWarning(UserWarning):
    """A stall, a lost line or a reconnection seen by Tracker.stream()."""


def frames_to_dataframe(frames: Union[Any, Iterable[Frame]]) -> Any:
    """P&O frames as a pandas DataFrame, one row per sensor record: the
    frame's timestamp_ns, frame_count and seq, the sensor number, x, y, z, the
    orientation's four values (the fourth NaN for Euler units), sfinfo and
    the frame's measurement time time_ns.

    frames: the structured array of read(), or Frames (from stream(), single()
    or a callback). pandas is needed here only; it is not a requirement of
    the package."""
    try:
        import pandas as pd  # pylint: disable=import-outside-toplevel
    except ImportError as e:
        raise ImportError("frames_to_dataframe needs pandas (apt install python3-pandas, or pip install pandas)") from e
    import numpy as np  # pylint: disable=import-outside-toplevel
    columns = ("timestamp_ns", "frame_count", "seq", "sensor", "x", "y", "z", "o1", "o2", "o3", "o4", "sfinfo",
               "time_ns")
    rows = []
    if isinstance(frames, np.ndarray):
        for f in frames:
            for k in range(int(f["sensor_count"])):
                p, o = f["positions"][k], f["orientations"][k]
                rows.append((int(f["timestamp_ns"]), int(f["frame_count"]), int(f["seq"]), int(f["sensors"][k]),
                             *map(float, p), *map(float, o), int(f["sfinfo"][k]), int(f["time_ns"])))
    else:
        for f in frames:
            for k in range(len(f)):
                p, o = f.positions[k], f.orientations[k]
                o4 = float(o[3]) if len(o) > 3 else float("nan")
                rows.append((f.timestamp_ns, f.frame_count, f.seq, int(f.sensors[k]), *map(float, p),
                             float(o[0]), float(o[1]), float(o[2]), o4, int(f.sfinfo[k]), f.time_ns))
    return pd.DataFrame.from_records(rows, columns=columns)


__all__ = [
    "Tracker", "Frame", "SXError", "StreamWarning", "ErrorCode", "ItemInfo", "ITEMS", "FRAME_DTYPE", "MAX_SENSORS",
    "PosUnits", "OriUnits", "FilterLevel", "FilterTarget", "HemispherePreset", "StartupHemisphere", "Ftt",
    "Origin", "Stylus", "Parity", "CorrectionRate", "frames_to_dataframe", "logger",
    "DEFAULT_TIMEOUT_MS", "DEFAULT_RETRIES",
    "BitResult", "Boresight", "DualOutput", "Filter", "FrameRate", "FttMode", "Hemisphere", "Increment",
    "NoiseProfile", "OorMode", "PredFilter", "PredFilterExt", "SelfCal", "SensorOrigin", "SerialConfig",
    "SeuId", "SourceConfig", "SourceRotation", "SourceSelect", "StationMap", "StylusMode", "SyncMode",
    "TipOffset", "Units", "VirtualSensor", "WhoAmI",
    "build_datetime", "error_text", "trace", "version",
]
