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
raise SXError. Every call that waits releases the GIL.
"""

from __future__ import annotations

import enum
import time
from typing import Any, Callable, Dict, Iterator, Optional, Tuple

from . import _core
from ._core import (
    FRAME_DTYPE,
    MAX_SENSORS,
    BitResult,
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


class Tracker(_core.TrackerCore):
    """One tracker: a library context with one connected device.

    Open it with one of the class methods (usb, hub, serial, simulated) and
    use it as a context manager: leaving the ``with`` block stops continuous
    output and releases the device and the context, also after an exception.
    """

    # ---- Opening -------------------------------------------------------------

    @classmethod
    def usb(cls, tag: int = 0, *, pid: Optional[int] = None) -> "Tracker":
        """The first tracker on USB. A non-zero tag connects a tag device of the
        sibling family (product PID_Q7_TAG unless pid says otherwise)."""
        t = cls()
        t._open_usb(tag, -1 if pid is None else pid)
        return t

    @classmethod
    def hub(cls) -> "Tracker":
        """A device through the sibling family's USB hub."""
        t = cls()
        t._open_hub()
        return t

    @classmethod
    def serial(cls, port: int = 0, cfg: Any = None) -> "Tracker":
        """A tracker on serial port ``port`` (numbered from 1; 0: the first port
        that answers). cfg is the serial configuration (a SerialConfig or its
        word); None is 115200 baud without parity."""
        t = cls()
        t._open_serial(port, cfg)
        return t

    @classmethod
    def simulated(cls, sensors: int = 4, rate: int = 240, **options: Any) -> "Tracker":
        """A simulated tracker started in this process on a pseudo-terminal and
        connected through the serial transport.

        sensors: detected sensors 1 to 16; rate: frames per second (30, 60,
        120, 240, 480 or 960). Further keywords set up the simulator (sources,
        seuid, seed, static_pose, accel_records) or inject faults, as
        set_faults takes them (drop_every_n, corrupt_frame_every_n,
        extra_sensor_every_n, sensor16_every_n, garbage_every_n, garbage_len,
        fault_cmd, corrupt_response_every_n, response_delay_ms,
        withhold_responses, wrong_command_first, nak_all, nak_warning).
        """
        t = cls()
        t._open_simulated(sensors, rate, **options)
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
               timeout: float = 1.0) -> Iterator[Frame]:
        """Yields P&O frames oldest first as they arrive.

        Stops after ``frames`` frames or ``seconds`` seconds, whichever comes
        first (neither: when the caller stops iterating). Continuous output is
        started when it is not running (the queue is cleared first) and stopped
        again when the generator ends. When no frame arrives for ``timeout``
        seconds, SXError with code E_SXERR_TIMEOUT is raised.
        """
        if frames is not None and frames < 0:
            raise ValueError("frames: 0 or more")
        started = False
        if not self.streaming:
            self.start()
            started = True
        try:
            end = None if seconds is None else time.monotonic() + seconds
            count = 0
            while frames is None or count < frames:
                wait = timeout
                if end is not None:
                    left = end - time.monotonic()
                    if left <= 0:
                        return
                    wait = min(timeout, left)
                frame = self._next_frame(wait)
                if frame is None:
                    if end is not None and time.monotonic() >= end:
                        return
                    _core._raise(int(ErrorCode.E_SXERR_TIMEOUT), "stream: no frame within %g s" % timeout)
                yield frame
                count += 1
        finally:
            if started and self.is_open and self.streaming:
                self.stop()


__all__ = [
    "Tracker", "Frame", "SXError", "ErrorCode", "ItemInfo", "ITEMS", "FRAME_DTYPE", "MAX_SENSORS",
    "BitResult", "Boresight", "DualOutput", "Filter", "FrameRate", "FttMode", "Hemisphere", "Increment",
    "NoiseProfile", "OorMode", "PredFilter", "PredFilterExt", "SelfCal", "SensorOrigin", "SerialConfig",
    "SeuId", "SourceConfig", "SourceRotation", "SourceSelect", "StationMap", "StylusMode", "SyncMode",
    "TipOffset", "Units", "VirtualSensor", "WhoAmI",
    "build_datetime", "error_text", "trace", "version",
]
