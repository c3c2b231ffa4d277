// sxtool's exit codes, as documented in the README and in `sxtool --help`.
#pragma once

namespace sxtool {

enum ExitCode {
    kExitOk = 0,               // done (also after Ctrl-C stopped a stream)
    kExitFailed = 1,           // the library or the tracker refused; its error text is printed
    kExitUsage = 2,            // bad arguments; a short usage line is printed
    kExitNoTracker = 3,        // no tracker found, the connection failed, or the line to it was lost
    kExitFileError = 4,        // a file could not be read or written
    kExitCorruptRecording = 5, // a recording is truncated or corrupt; the offset is printed
    kExitNoSimulator = 6,      // the simulated tracker could not be started
    kExitStalled = 7,          // a stream ended while no frames came, or short of the frames asked for
};

} // namespace sxtool
