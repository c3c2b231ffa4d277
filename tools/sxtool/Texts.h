// sxtool's fixed texts and output formats, kept in one place.
#pragma once

namespace sxtool::texts {

constexpr const char* kProgram = "sxtool";
constexpr const char* kDescription = "Command-line tool of the electromagnetic motion tracker SDK";
constexpr const char* kUsageLine = "usage: sxtool COMMAND [OPTIONS]; sxtool --help lists the commands, "
                                   "sxtool COMMAND --help their options";
constexpr const char* kExitCodesFooter =
    "Exit codes: 0 done, 1 the library or tracker refused, 2 bad arguments, 3 no tracker,\n"
    "4 file error, 5 corrupt recording, 6 simulator could not start.";

// Messages on standard error; each is printed after "sxtool: ".
constexpr const char* kNoTrackerUsingSim = "no tracker found on USB; using the simulated tracker";
constexpr const char* kConnectFailed = "cannot connect to the tracker: %s";
constexpr const char* kSimFailed = "cannot start the simulated tracker: %s";
constexpr const char* kCommandFailed = "%s failed: %s";
constexpr const char* kNotAllowed = "%s cannot be %s";
constexpr const char* kContextFailed = "cannot create a library context: %s";
constexpr const char* kNoSuchPort = "serial port %d does not exist; the serial ports are %s (sxtool list)";
constexpr const char* kNoSerialPorts = "serial port %d does not exist: this machine has no serial ports";

// `list`.
constexpr const char* kUsbHeading = "USB trackers:\n";
constexpr const char* kUsbRow = "  vid 0x%04x  pid 0x%04x  bus %03u  address %03u  %s\n";
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

// `serve` and `view` when their address cannot be had.
constexpr const char* kCannotListen = "cannot listen on %s port %d";

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
constexpr const char* kStopRetried = "stopping continuous P&O did not succeed at first (%s); tried again";
constexpr const char* kStopIgnored = "warning: stopping continuous P&O failed: %s; every frame taken was written";

// Live table of a stream on a terminal.
constexpr const char* kLiveTitle =
    "unit %u  %s  %s  frames %llu  rate %.1f Hz  lost: tracker %llu, bad CRC %llu, queue %llu";
constexpr const char* kLiveHeadEuler =
    " sns         X          Y          Z  (%-4s)       Az        El        Ro  (%-4s)      frames    rate   lost";
constexpr const char* kLiveHeadQuat =
    " sns         X          Y          Z  (%-4s)       Qw        Qx        Qy        Qz      frames    rate   lost";
constexpr const char* kLiveRowEuler = " %3u  % 9.3f  % 9.3f  % 9.3f         % 8.3f  % 8.3f  % 8.3f        %9llu  %6.1f  %5llu";
constexpr const char* kLiveRowQuat = " %3u  % 9.3f  % 9.3f  % 9.3f         % 8.4f  % 8.4f  % 8.4f  % 8.4f  %9llu  %6.1f  %5llu";
constexpr const char* kLiveHint = "Ctrl-C stops";

// Recording and conversion.
constexpr const char* kFileFailed = "%s: %s";
constexpr const char* kNotPno = "frame at byte offset %llu is not a P&O frame";
constexpr const char* kSkippedBadFrames = "%s: frames skipped for a failed CRC: %llu";

} // namespace sxtool::texts
