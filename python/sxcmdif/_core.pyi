"""Type stubs of sxcmdif._core, the native half of the package."""

import enum
from typing import Any, Callable, ClassVar, Dict, List, Optional, Sequence, Tuple, TypeVar

import numpy as np
import numpy.typing as npt

__version__: str

FRAME_DTYPE: np.dtype
MAX_SENSORS: int
_error_codes: List[Tuple[str, int]]
_items: List[Tuple[str, Optional[type], Tuple[str, ...], Tuple[str, ...], str]]

class SXError(Exception):
    """A tracker operation failed."""
    code: int
    """The error code (the low 16 bits of value), an ErrorCode value."""
    detail: int
    """The code's detail (the high 16 bits, signed): a command code, a transport's code, else 0."""
    value: int
    """The whole 32-bit result of the library."""
    text: str
    """The library's text of the value."""
    operation: str
    """What was being done."""

def error_text(value: int) -> str:
    """The library's text of a result value (any 32-bit value, detail included)."""
def version() -> str:
    """The library's version text."""
def build_datetime() -> str:
    """The library's build date and time."""
def trace(level: int) -> None:
    """Library-wide trace level 0 to 7 (any other value: off); taken by trackers opened afterwards."""
def _raise(value: int, operation: str) -> None: ...
def _trace_wait(timeout: float) -> Optional[List[Tuple[int, str]]]: ...
def _trace_stop() -> None: ...
def _trace_dropped() -> int: ...

# The vocabularies of the enumerated fields; such a field also takes a
# member's word ("cm", "deg") as a str.
class PosUnits(enum.IntEnum): ...
class OriUnits(enum.IntEnum): ...
class FilterLevel(enum.IntEnum): ...
class FilterTarget(enum.IntEnum): ...
class HemispherePreset(enum.IntEnum): ...
class StartupHemisphere(enum.IntEnum): ...
class Ftt(enum.IntEnum): ...
class Origin(enum.IntEnum): ...
class Stylus(enum.IntEnum): ...
class Parity(enum.IntEnum): ...
class CorrectionRate(enum.IntEnum): ...

_R = TypeVar("_R", bound="_Record")

class _Record:
    """What every configuration value has. Values compare by their bytes."""
    SIZE: ClassVar[int]
    """Bytes of the payload record."""
    _fields: ClassVar[Tuple[str, ...]]
    """The fields, in the constructor's positional order."""
    def report(self, header: bool = True, one_line: bool = False) -> str:
        """The record class's report: with the label when header, on one line when one_line."""
    def replace(self: _R, **fields: Any) -> _R:
        """A copy with the fields given changed."""
    def _asdict(self) -> Dict[str, Any]:
        """The fields as a dict."""
    def to_bytes(self) -> bytes:
        """The payload record as it travels (little-endian)."""
    def __bytes__(self) -> bytes: ...
    @classmethod
    def from_bytes(cls: type[_R], data: bytes) -> _R:
        """A value from its payload bytes."""
    def __copy__(self: _R) -> _R: ...
    def __deepcopy__(self: _R, memo: Any) -> _R: ...
    def __eq__(self, other: object) -> bool: ...

class Units(_Record):
    """Position and orientation units (UNITS_CONFIG)."""
    def __init__(self, pos_units: int = ..., ori_units: int = ...) -> None: ...
    @property
    def pos_units(self) -> int:
        """Position units: 0 inch, 1 foot, 2 cm, 3 metre."""
    @pos_units.setter
    def pos_units(self, value: int) -> None: ...
    @property
    def ori_units(self) -> int:
        """Orientation units: 0 Euler degrees, 1 Euler radians, 2 quaternion."""
    @ori_units.setter
    def ori_units(self, value: int) -> None: ...
    @property
    def is_euler(self) -> bool:
        """Orientations are Euler angles (three values), not quaternions."""

class FrameRate(_Record):
    """Output frame rate (FRAMERATE_CONFIG)."""
    def __init__(self, frame_rate: int = ...) -> None: ...
    @property
    def frame_rate(self) -> int:
        """Rate code 0 to 5: 30, 60, 120, 240, 480, 960 Hz."""
    @frame_rate.setter
    def frame_rate(self, value: int) -> None: ...
    @property
    def hz(self) -> int:
        """The rate in Hz."""
    @staticmethod
    def from_hz(hz: int) -> FrameRate:
        """The frame rate of 30, 60, 120, 240, 480 or 960 Hz."""

class SyncMode(_Record):
    """External synchronisation on or off (BINARY_CONFIG)."""
    def __init__(self, value: int = ...) -> None: ...
    @property
    def value(self) -> int:
        """0 off; any other value on."""
    @value.setter
    def value(self, value: int) -> None: ...

class DualOutput(_Record):
    """Dual output on or off (BINARY_CONFIG)."""
    def __init__(self, value: int = ...) -> None: ...
    @property
    def value(self) -> int:
        """0 off; any other value on."""
    @value.setter
    def value(self, value: int) -> None: ...

class OorMode(_Record):
    """Out-of-range mode on or off (BINARY_CONFIG)."""
    def __init__(self, value: int = ...) -> None: ...
    @property
    def value(self) -> int:
        """0 off; any other value on."""
    @value.setter
    def value(self, value: int) -> None: ...

class StylusMode(_Record):
    """Stylus button mode (STYLUS_CONFIG)."""
    def __init__(self, value: int = ...) -> None: ...
    @property
    def value(self) -> int:
        """0 mark, 1 point, 2 line, 3 toggle."""
    @value.setter
    def value(self, value: int) -> None: ...

class SerialConfig(_Record):
    """Serial line of the unit (SERIAL_CONFIG)."""
    def __init__(self, baudrate: int = ..., parity: int = ..., res: int = ..., *, sercfg: int = ...) -> None: ...
    @property
    def baudrate(self) -> int:
        """Bits 0-3: an eBaud value (7 is 115200)."""
    @baudrate.setter
    def baudrate(self, value: int) -> None: ...
    @property
    def parity(self) -> int:
        """Bits 4-5: 0 none, 1 odd, 2 even."""
    @parity.setter
    def parity(self, value: int) -> None: ...
    @property
    def res(self) -> int:
        """Bits 6-31, reserved; carried unchanged."""
    @res.setter
    def res(self, value: int) -> None: ...
    @property
    def sercfg(self) -> int:
        """The whole word."""
    @sercfg.setter
    def sercfg(self, value: int) -> None: ...

class SeuId(_Record):
    """Identifier of the electronics unit (SORIX_SEUID)."""
    def __init__(self, seuID: int = ...) -> None: ...
    @property
    def seuID(self) -> int:
        """The unit identifier."""
    @seuID.setter
    def seuID(self, value: int) -> None: ...

class SelfCal(_Record):
    """Self-calibration state (SELFCAL_CONFIG)."""
    def __init__(self, state: int = ..., correction_rate: int = ..., custom_rate: float = ...) -> None: ...
    @property
    def state(self) -> int:
        """Bits 0-7 operating state, bits 8-15 memory state."""
    @state.setter
    def state(self, value: int) -> None: ...
    @property
    def correction_rate(self) -> int:
        """0 slow, 1 medium, 2 fast, 3 custom."""
    @correction_rate.setter
    def correction_rate(self, value: int) -> None: ...
    @property
    def custom_rate(self) -> float:
        """The correction rate value."""
    @custom_rate.setter
    def custom_rate(self, value: float) -> None: ...

class StationMap(_Record):
    """Sensors and sources the unit detects (STATION_MAP)."""
    def __init__(self, sensor_map: int = ..., source_map: int = ..., *, map: int = ...) -> None: ...
    @property
    def sensor_map(self) -> int:
        """Bit n: sensor n detected."""
    @sensor_map.setter
    def sensor_map(self, value: int) -> None: ...
    @property
    def source_map(self) -> int:
        """Bit n: source n detected."""
    @source_map.setter
    def source_map(self, value: int) -> None: ...
    @property
    def map(self) -> int:
        """The whole word."""
    @map.setter
    def map(self, value: int) -> None: ...
    @property
    def sensors(self) -> List[int]:
        """The detected sensors' numbers, lowest first."""
    @property
    def sources(self) -> List[int]:
        """The detected sources' numbers, lowest first."""

class BitResult(_Record):
    """Built-in-test result (BIT_STRUCT)."""
    def __init__(self, err: Sequence[int] = ...) -> None: ...
    @property
    def err(self) -> Tuple[int, ...]:
        """Word i: error bits of BIT code i + 1."""
    @err.setter
    def err(self, value: Sequence[int]) -> None: ...
    @property
    def ok(self) -> bool:
        """No error bit is set."""

class WhoAmI(_Record):
    """Identity of the unit, a sensor or a source (WHOAMI_STRUCT)."""
    def __init__(self, device_name: str = ..., hw_ser_no: str = ..., ioproc: str = ..., dsp_bt_fw: str = ..., dsp_app_fw: str = ...) -> None: ...
    @property
    def device_name(self) -> str:
        """Device name."""
    @device_name.setter
    def device_name(self, value: str) -> None: ...
    @property
    def hw_ser_no(self) -> str:
        """Hardware serial number."""
    @hw_ser_no.setter
    def hw_ser_no(self, value: str) -> None: ...
    @property
    def ioproc(self) -> str:
        """I/O processor firmware."""
    @ioproc.setter
    def ioproc(self, value: str) -> None: ...
    @property
    def dsp_bt_fw(self) -> str:
        """DSP boot firmware."""
    @dsp_bt_fw.setter
    def dsp_bt_fw(self, value: str) -> None: ...
    @property
    def dsp_app_fw(self) -> str:
        """DSP application firmware."""
    @dsp_app_fw.setter
    def dsp_app_fw(self, value: str) -> None: ...

class SourceConfig(_Record):
    """Configuration of one field source (SRC_CONFIG); read in `units`."""
    def __init__(self, srcfreq: int = ..., position: Sequence[float] = ..., rotation: Sequence[float] = ..., startupHem: int = ..., *, units: Units = ...) -> None: ...
    @property
    def srcfreq(self) -> int:
        """Frequency identifier of the source."""
    @srcfreq.setter
    def srcfreq(self, value: int) -> None: ...
    @property
    def position(self) -> Tuple[float, ...]:
        """x, y, z in the position units."""
    @position.setter
    def position(self, value: Sequence[float]) -> None: ...
    @property
    def rotation(self) -> Tuple[float, ...]:
        """Azimuth, elevation, roll, unused; or the quaternion w, x, y, z."""
    @rotation.setter
    def rotation(self, value: Sequence[float]) -> None: ...
    @property
    def startupHem(self) -> int:
        """Start-up hemisphere code."""
    @startupHem.setter
    def startupHem(self, value: int) -> None: ...
    @property
    def units(self) -> Units:
        """The units the record is read in (not part of the record)."""
    @units.setter
    def units(self, value: Units) -> None: ...

class SourceRotation(_Record):
    """Rotation of one field source (SRCROT_CONFIG)."""
    def __init__(self, srcfreq: int = ..., rotation: Sequence[float] = ...) -> None: ...
    @property
    def srcfreq(self) -> int:
        """Frequency identifier of the source."""
    @srcfreq.setter
    def srcfreq(self, value: int) -> None: ...
    @property
    def rotation(self) -> Tuple[float, ...]:
        """Azimuth, elevation, roll, unused; or the quaternion w, x, y, z."""
    @rotation.setter
    def rotation(self, value: Sequence[float]) -> None: ...

class Filter(_Record):
    """Position or orientation filter of a sensor (FILTER_CONFIG)."""
    def __init__(self, level: int = ..., F: float = ..., Flow: float = ..., Fhigh: float = ..., MaxT: float = ...) -> None: ...
    @property
    def level(self) -> int:
        """0 none, 1 light, 2 medium, 3 heavy, 4 custom, 5-8 enhanced."""
    @level.setter
    def level(self, value: int) -> None: ...
    @property
    def F(self) -> float:
        """Filter parameter F."""
    @F.setter
    def F(self, value: float) -> None: ...
    @property
    def Flow(self) -> float:
        """Filter parameter Flow."""
    @Flow.setter
    def Flow(self, value: float) -> None: ...
    @property
    def Fhigh(self) -> float:
        """Filter parameter Fhigh."""
    @Fhigh.setter
    def Fhigh(self, value: float) -> None: ...
    @property
    def MaxT(self) -> float:
        """Filter parameter MaxT."""
    @MaxT.setter
    def MaxT(self, value: float) -> None: ...

class Hemisphere(_Record):
    """Operating hemisphere of a sensor (HEMISPHERE_CONFIG)."""
    def __init__(self, track_en: bool = ..., auto_en: bool = ..., vector: Sequence[float] = ..., *, bf: int = ...) -> None: ...
    @property
    def track_en(self) -> bool:
        """Hemisphere tracking on."""
    @track_en.setter
    def track_en(self, value: bool) -> None: ...
    @property
    def auto_en(self) -> bool:
        """Automatic hemisphere on."""
    @auto_en.setter
    def auto_en(self, value: bool) -> None: ...
    @property
    def vector(self) -> Tuple[float, ...]:
        """x, y, z of the hemisphere direction."""
    @vector.setter
    def vector(self, value: Sequence[float]) -> None: ...
    @property
    def bf(self) -> int:
        """The whole bit word."""
    @bf.setter
    def bf(self, value: int) -> None: ...

class Boresight(_Record):
    """Boresight orientation of a sensor (BORESIGHT_CONFIG)."""
    def __init__(self, ori: Sequence[float] = ..., *, units: Units = ...) -> None: ...
    @property
    def ori(self) -> Tuple[float, ...]:
        """Three Euler angles and an unused value, or w, x, y, z."""
    @ori.setter
    def ori(self, value: Sequence[float]) -> None: ...
    @property
    def units(self) -> Units:
        """The units the orientation is read in (not part of the record)."""
    @units.setter
    def units(self, value: Units) -> None: ...

class TipOffset(_Record):
    """Offset of the tip from a sensor's origin (TIP_OFFSET_CONFIG)."""
    def __init__(self, x: float = ..., y: float = ..., z: float = ...) -> None: ...
    @property
    def x(self) -> float:
        """x in the position units."""
    @x.setter
    def x(self, value: float) -> None: ...
    @property
    def y(self) -> float:
        """y in the position units."""
    @y.setter
    def y(self, value: float) -> None: ...
    @property
    def z(self) -> float:
        """z in the position units."""
    @z.setter
    def z(self, value: float) -> None: ...

class Increment(_Record):
    """Output increment thresholds of a sensor (INCREMENT_CONFIG)."""
    def __init__(self, enabled: int = ..., fPosThresh: float = ..., fOriThresh: float = ...) -> None: ...
    @property
    def enabled(self) -> int:
        """1 on, 0 off."""
    @enabled.setter
    def enabled(self, value: int) -> None: ...
    @property
    def fPosThresh(self) -> float:
        """Position threshold; 0 or less: automatic."""
    @fPosThresh.setter
    def fPosThresh(self, value: float) -> None: ...
    @property
    def fOriThresh(self) -> float:
        """Orientation threshold; 0 or less: automatic."""
    @fOriThresh.setter
    def fOriThresh(self, value: float) -> None: ...

class SourceSelect(_Record):
    """Sources a sensor uses (SRC_SEL_CONFIG)."""
    def __init__(self, SRC_SEL_MAP: int = ...) -> None: ...
    @property
    def SRC_SEL_MAP(self) -> int:
        """Bit n: source n selected."""
    @SRC_SEL_MAP.setter
    def SRC_SEL_MAP(self, value: int) -> None: ...

class PredFilter(_Record):
    """Prediction filter of a sensor (PF_CONFIG)."""
    def __init__(self, qFil_on: int = ..., pFil_on: int = ..., predTime: float = ...) -> None: ...
    @property
    def qFil_on(self) -> int:
        """Orientation prediction on (1) or off (0)."""
    @qFil_on.setter
    def qFil_on(self, value: int) -> None: ...
    @property
    def pFil_on(self) -> int:
        """Position prediction on (1) or off (0)."""
    @pFil_on.setter
    def pFil_on(self, value: int) -> None: ...
    @property
    def predTime(self) -> float:
        """Prediction time in seconds."""
    @predTime.setter
    def predTime(self, value: float) -> None: ...

class PredFilterExt(_Record):
    """Prediction filter of a sensor with its noise profile (PF_CONFIG_EXT)."""
    def __init__(self, qFil_on: int = ..., pFil_on: int = ..., predTime: float = ..., reserved: int = ..., noise: NoiseProfile = ...) -> None: ...
    @property
    def qFil_on(self) -> int:
        """Orientation prediction on (1) or off (0)."""
    @qFil_on.setter
    def qFil_on(self, value: int) -> None: ...
    @property
    def pFil_on(self) -> int:
        """Position prediction on (1) or off (0)."""
    @pFil_on.setter
    def pFil_on(self, value: int) -> None: ...
    @property
    def predTime(self) -> float:
        """Prediction time in seconds."""
    @predTime.setter
    def predTime(self, value: float) -> None: ...
    @property
    def reserved(self) -> int:
        """Not interpreted."""
    @reserved.setter
    def reserved(self, value: int) -> None: ...
    @property
    def noise(self) -> NoiseProfile:
        """The noise profile (a copy: assign a whole NoiseProfile to change it)."""
    @noise.setter
    def noise(self, value: NoiseProfile) -> None: ...

class VirtualSensor(_Record):
    """Virtual-sensor input (VIRTUAL_SNS_CONFIG)."""
    def __init__(self, Input1: int = ..., word1: int = ..., word2: int = ..., word3: int = ...) -> None: ...
    @property
    def Input1(self) -> int:
        """The input the reports show."""
    @Input1.setter
    def Input1(self, value: int) -> None: ...
    @property
    def word1(self) -> int:
        """Carried as given."""
    @word1.setter
    def word1(self, value: int) -> None: ...
    @property
    def word2(self) -> int:
        """Carried as given."""
    @word2.setter
    def word2(self, value: int) -> None: ...
    @property
    def word3(self) -> int:
        """Carried as given."""
    @word3.setter
    def word3(self, value: int) -> None: ...

class FttMode(_Record):
    """FTT mode of a sensor (ENUM_CONFIG, an eFTTMode value)."""
    def __init__(self, value: int = ...) -> None: ...
    @property
    def value(self) -> int:
        """An eFTTMode value."""
    @value.setter
    def value(self, value: int) -> None: ...

class SensorOrigin(_Record):
    """Origin of a sensor's positions (ENUM_CONFIG, an eSensorOrigin value)."""
    def __init__(self, value: int = ...) -> None: ...
    @property
    def value(self) -> int:
        """An eSensorOrigin value."""
    @value.setter
    def value(self, value: int) -> None: ...

class NoiseProfile(_Record):
    """Noise matrices of a prediction filter (NOISEPROFILE), row-major."""
    def __init__(self, Rq: Sequence[Sequence[float]] = ..., Qq: Sequence[Sequence[float]] = ..., Rr: Sequence[Sequence[float]] = ..., Qr: Sequence[Sequence[float]] = ...) -> None: ...
    @property
    def Rq(self) -> Tuple[Tuple[float, ...], ...]:
        """4 x 4 matrix Rq."""
    @Rq.setter
    def Rq(self, value: Sequence[Sequence[float]]) -> None: ...
    @property
    def Qq(self) -> Tuple[Tuple[float, ...], ...]:
        """3 x 3 matrix Qq."""
    @Qq.setter
    def Qq(self, value: Sequence[Sequence[float]]) -> None: ...
    @property
    def Rr(self) -> Tuple[Tuple[float, ...], ...]:
        """3 x 3 matrix Rr."""
    @Rr.setter
    def Rr(self, value: Sequence[Sequence[float]]) -> None: ...
    @property
    def Qr(self) -> Tuple[Tuple[float, ...], ...]:
        """3 x 3 matrix Qr."""
    @Qr.setter
    def Qr(self, value: Sequence[Sequence[float]]) -> None: ...

class Frame:
    """One P&O frame: the unit's frame count and state, and one row per sensor record.

    Positions are in the tracker's position units, orientations in its
    orientation units: three Euler angles (azimuth, elevation, roll) per row,
    or a quaternion (w, x, y, z) when the orientation units are quaternions.
    """
    @property
    def frame_count(self) -> int:
        """The unit's frame count."""
    @property
    def seq(self) -> int:
        """Sequence number in the device's queue (the callback counts its frames; 0 for single())."""
    @property
    def timestamp_ns(self) -> int:
        """Receive time on the monotonic clock, in nanoseconds (0 when not stamped)."""
    @property
    def time_ns(self) -> int:
        """When the frame was measured, on the system clock (Unix epoch, UTC), in nanoseconds."""
    @property
    def seuid(self) -> int:
        """Identifier of the electronics unit."""
    @property
    def hpinfo(self) -> int:
        """Header information word."""
    @property
    def error(self) -> int:
        """Error the library attached to a flawed frame it passed on, else 0."""
    @property
    def pos_units(self) -> int:
        """Position units of the records (0 inch, 1 foot, 2 cm, 3 m)."""
    @property
    def ori_units(self) -> int:
        """Orientation units of the records (0 degrees, 1 radians, 2 quaternion)."""
    @property
    def sensors(self) -> npt.NDArray[np.int32]:
        """Sensor numbers, an int32 array of n."""
    @property
    def positions(self) -> npt.NDArray[np.float64]:
        """Positions, a float64 array of (n, 3)."""
    @property
    def orientations(self) -> npt.NDArray[np.float64]:
        """Orientations, a float64 array of (n, 3) for Euler angles or (n, 4) for quaternions."""
    @property
    def accelerations(self) -> Optional[npt.NDArray[np.float64]]:
        """Accelerations X, Y, Z, R, (n, 4), for acceleration records; else None."""
    @property
    def sfinfo(self) -> npt.NDArray[np.uint32]:
        """The sensor information word of each record."""
    @property
    def raw(self) -> bytes:
        """The frame's bytes as received."""
    @property
    def lost_frames(self) -> int:
        """Frames lost before this one."""
    @property
    def bit_error(self) -> int:
        """The unit's built-in-test error code."""
    def report(self, table: bool = False) -> str:
        """The library's text report of the frame (one line per sensor, or a table line)."""
    def __len__(self) -> int: ...

class TrackerCore:
    """The native half of Tracker: use sxcmdif.Tracker."""
    def __init__(self) -> None: ...
    def _open_usb(self, tag: int, pid: int, timeout_ms: int, serial: str) -> None: ...
    def _open_hub(self, timeout_ms: int) -> None: ...
    def _open_serial(self, port: int, cfg: Any, timeout_ms: int, retries: int) -> None: ...
    def _open_simulated(self, sensors: int, rate: int, timeout_ms: int, retries: int, **options: Any) -> None: ...
    def _next_frame(self, timeout: float) -> Optional[Frame]: ...
    def _watch_begin(self, reconnect: bool) -> None: ...
    def _watch_next(self, wait: float) -> Tuple[Optional[Frame], List[Tuple[str, str, int]]]: ...
    def _watch_end(self) -> Dict[str, Any]: ...
    def close(self) -> None:
        """Stops continuous output, releases the device and its context (and stops a
        simulated tracker). Closing a closed tracker does nothing."""
    @property
    def is_open(self) -> bool:
        """The tracker is connected."""
    @property
    def kind(self) -> str:
        """How the tracker is connected."""
    def get(self, item: str, sensor: Optional[int] = None, source: Optional[int] = None, *,
            arg2: int = 0) -> Any:
        """Reads configuration item ``item`` (see sxcmdif.ITEMS) and returns its value.

        Sensor items need ``sensor`` (0 to 15), source items ``source`` (0 to
        3); "whoami" reads the unit, a sensor or a source. arg2 is the command's
        second argument (filter target, boresight reset-origin flag).
        """
    def set(self, item: str, value: Any = None, sensor: Optional[int] = None, source: Optional[int] = None, *,
            arg2: int = 0) -> None:
        """Writes configuration item ``item``: value is the item's record class, a
        tuple or dict of all its fields (a record of one field: that field
        alone), or the words ``sxtool set`` takes in one str ("pos_z auto");
        enumerated fields take words ("cm") or members (PosUnits.CM), a frame
        rate is in Hz, numbers must be finite. A value of the wrong kind is a
        TypeError naming the forms it may take. Sensor items take sensor (0 to
        15; None: every sensor)."""
    def reset(self, item: str, sensor: Optional[int] = None, source: Optional[int] = None, *,
              arg2: int = 0) -> None:
        """Resets configuration item ``item`` to the unit's default (sensor=None: every sensor)."""
    def persist(self) -> None:
        """Makes the unit keep its present configuration over a power cycle."""
    @property
    def identity(self) -> WhoAmI:
        """The unit's identity as read at connection."""
    @property
    def seuid(self) -> int:
        """The unit identifier read at connection."""
    def report(self) -> str:
        """The library's report line of the device."""
    timeout_ms: int
    """How long a command waits for its answer, in milliseconds (500 by default)."""
    def set_trace(self, level: int) -> None:
        """The device's trace level (0 to 7)."""
    def start(self, clear: bool = True) -> None:
        """Starts continuous P&O output; with clear, frames still queued are dropped first."""
    def stop(self) -> None:
        """Stops continuous P&O output."""
    @property
    def streaming(self) -> bool:
        """Continuous output was started here."""
    def read(self, max_frames: Optional[int] = None) -> np.ndarray:
        """Takes every queued frame (at most max_frames) at once, without waiting, as a
        numpy structured array of FRAME_DTYPE."""
    def single(self) -> Frame:
        """Asks the unit for one P&O record."""
    def on_frame(self, callback: Optional[Callable[[Frame], Any]]) -> None:
        """Calls callback(frame) on the reading thread for every frame that arrives;
        None removes it. The callback may not send commands or close the tracker."""
    @property
    def callback_errors(self) -> int:
        """Exceptions the on_frame callback raised since it was installed."""
    @property
    def pending(self) -> int:
        """Number of frames in the queue."""
    def clear(self) -> None:
        """Drops the queued frames and restarts the queue's counters."""
    def set_faults(self, **faults: Any) -> None:
        """Replaces the faults of a simulated tracker (the keywords of Tracker.simulated)."""
    def sim_stats(self) -> Dict[str, int]:
        """Counters of a simulated tracker."""
    @property
    def sim_path(self) -> str:
        """The serial line of a simulated tracker, else an empty text."""
