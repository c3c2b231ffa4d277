// sxtool's fixed texts and output formats, kept in one place.
#pragma once

namespace sxtool::texts {

constexpr const char* kProgram = "sxtool";
constexpr const char* kDescription = "Command-line tool of the electromagnetic motion tracker SDK";
constexpr const char* kUsageLine = "usage: sxtool COMMAND [OPTIONS]; sxtool --help lists the commands, "
                                   "sxtool COMMAND --help their options";
constexpr const char* kExitCodesFooter =
    "Exit codes: 0 done, 1 the library or tracker refused, 2 bad arguments, 3 no tracker,\n"
    "4 file error, 5 corrupt recording, 6 simulator could not start, 7 a stream stopped short\n"
    "(no frames came; 3 when the line to the tracker was lost).";

// Messages on standard error; each is printed after "sxtool: ".
constexpr const char* kNoTrackerFound =
    "no tracker found on USB; --serial N for a serial line (sxtool list), --sim for the simulated tracker";
constexpr const char* kUsingUsbTracker = "using the tracker on USB: %s, serial number %s";
constexpr const char* kNoUsbSerial = "no tracker with serial number %s on USB; the trackers there are: %s";
constexpr const char* kNoSerialTracker = "no tracker answers on the serial ports %s";
constexpr const char* kConnectFailed = "cannot connect to the tracker: %s";
constexpr const char* kSimFailed = "cannot start the simulated tracker: %s";
constexpr const char* kCommandFailed = "%s failed: %s";
constexpr const char* kNotAllowed = "%s cannot be %s";
constexpr const char* kContextFailed = "cannot create a library context: %s";
constexpr const char* kNoSuchPort = "serial port %d does not exist; the serial ports are %s (sxtool list)";
constexpr const char* kNoSerialPorts = "serial port %d does not exist: this machine has no serial ports";

// Files written and read.
constexpr const char* kFileExists = "%s exists: --force replaces it";
constexpr const char* kOutputIsInput = "%s is the input file: give another output";
constexpr const char* kOutputsCollide = "%s and %s are the same file: give two different files";
constexpr const char* kLogIsRecording = "%s is a recording: give another --log file (the log would be appended to it)";
constexpr const char* kSimulatedRecording = "%s: recorded from the simulated tracker";

// `list`.
constexpr const char* kUsbHeading = "USB trackers:\n";
constexpr const char* kUsbRow = "  vid 0x%04x  pid 0x%04x  bus %03u  address %03u  %s\n";
constexpr const char* kUsbIdentityRow =
    "  vid 0x%04x  pid 0x%04x  bus %03u  address %03u  %s  serial number %s  (%s; %s, %s, %s)\n";
constexpr const char* kUsbNotOpened = "  %u of the trackers could not be opened (in use, or no permission)\n";
constexpr const char* kUsbNone = "  none\n";
constexpr const char* kUsbUnavailable = "  cannot list USB devices: %s\n";
constexpr const char* kUsbNeedsDll = "  USB needs libusb-1.0.dll (beside sxtool.exe or on the PATH)\n";
constexpr const char* kSerialHeading = "Serial ports:\n";
constexpr const char* kSerialRow = "  port %u  %s  %s\n";
constexpr const char* kSerialNone = "  none\n";
constexpr const char* kSerialUnavailable = "  cannot list serial ports\n";
constexpr const char* kNameTracker = "tracker";
constexpr const char* kNameHub = "hub";
constexpr const char* kNameTag = "tag device";

// `info` section headings.
constexpr const char* kDeviceHeading = "DEVICE:\r\n";

// `serve` and `view` when their address cannot be had, with the system's
// reason when there is one, and advice for a port in use.
constexpr const char* kCannotListen = "cannot listen on %s port %d";
constexpr const char* kCannotListenBecause = "cannot listen on %s port %d: %s";
constexpr const char* kPortInUse = "address already in use (another program listens there; --port takes another)";

// A command this build of sxtool leaves out: listed in the help, it says
// how to have it.
constexpr const char* kNotBuilt = "%s is not in this build of sxtool: %s";
#ifdef _WIN32
constexpr const char* kServeNotBuilt = "OpenIGTLink streaming is part of the Linux build only";
constexpr const char* kViewNotBuilt = "the browser viewer is part of the Linux build only";
#else
constexpr const char* kServeNotBuilt =
    "it needs OpenIGTLink: install libopenigtlink-dev, then build again with -DSX_BUILD_IGTL=ON "
    "(cmake --preset release does)";
constexpr const char* kViewNotBuilt =
    "it needs Boost and three.js: install libboost-dev and libjs-three, then build again "
    "(cmake --preset release does)";
#endif

// `ros2`: how the tracker is connected, for /diagnostics.
constexpr const char* kRos2Simulated = "simulated tracker";
constexpr const char* kRos2Serial = "serial port ";
constexpr const char* kRos2Usb = "USB";
constexpr const char* kRos2Hub = "USB, through the hub";

// `persist`.
constexpr const char* kPersisted = "configuration persisted in the unit\r\n";

// Status line of a stream written to a file, on standard error.
constexpr const char* kStatusLine =
    "\rframes %llu  rate %6.1f Hz  lost: tracker %llu, bad CRC %llu, queue %llu  queue depth %u   ";
// Summary printed on standard error when a stream ends.
constexpr const char* kStreamSummary = "%llu frames, lost by the tracker %llu, dropped for a bad CRC %llu, "
                                       "by the queue %llu";
constexpr const char* kMalformedSummary = ", malformed %llu";
constexpr const char* kIntervalSummary = "; frame interval median %.2f ms, 99th percentile %.2f ms";
constexpr const char* kRecordSummary = "recorded %llu frames into %s";
// A stall, a lost line, a reconnection; and their counts after the summary.
constexpr const char* kStreamWarning = "warning: %s";
constexpr const char* kGuardSummary = "stalls %llu, lines lost %llu, reconnections %llu, frames missed %llu";
constexpr const char* kStopRetried = "stopping continuous P&O did not succeed at first (%s); tried again";
constexpr const char* kStopIgnored = "warning: stopping continuous P&O failed: %s; every frame taken was written";

// Live table of a stream on a terminal.
constexpr const char* kLiveSimulated = "SIMULATED TRACKER  ";
constexpr const char* kLiveTitle =
    "unit %u  %s  %s  frames %llu  rate %.1f Hz  lost: tracker %llu, bad CRC %llu, queue %llu";
constexpr const char* kLiveHeadEuler =
    " sns         X          Y          Z  (%-4s)       Az        El        Ro  (%-4s)      frames    rate   lost";
constexpr const char* kLiveHeadQuat =
    " sns         X          Y          Z  (%-4s)       Qw        Qx        Qy        Qz      frames    rate   lost";
constexpr const char* kLiveRowEuler =
    " %3u  % 9.3f  % 9.3f  % 9.3f         % 8.3f  % 8.3f  % 8.3f        %9llu  %6.1f  %5llu";
constexpr const char* kLiveRowQuat =
    " %3u  % 9.3f  % 9.3f  % 9.3f         % 8.4f  % 8.4f  % 8.4f  % 8.4f  %9llu  %6.1f  %5llu";
constexpr const char* kLiveHint = "Ctrl-C stops";

// `config save` and `config load`.
constexpr const char* kConfigSaved = "configuration of %s saved into %s";
constexpr const char* kConfigNotOne = "%s: not a configuration written by sxtool config save: %s";
constexpr const char* kConfigBadValue = "%s: %s: %s";
constexpr const char* kConfigOtherTracker =
    "%s was saved from a %s with firmware %s; this tracker is a %s with firmware %s: --force loads it anyway";
constexpr const char* kConfigNotAttached = "%s: %s is not attached here: its settings are left out";
constexpr const char* kConfigDiffers = "%s reads back as %s, not %s";
constexpr const char* kConfigLoaded = "%u settings applied, %u already as saved in %s";

// Recording and conversion.
constexpr const char* kFileFailed = "%s: %s";
constexpr const char* kNotPno = "frame at byte offset %llu is not a P&O frame";
constexpr const char* kSkippedBadFrames = "%s: frames skipped for a failed CRC: %llu";

} // namespace sxtool::texts
