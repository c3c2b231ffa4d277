// What the command line asked for, filled by the argument parser and read by
// the commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sxtool {

// Which tracker to talk to. With none of usb, hub, serial and sim set the
// tool looks for a USB tracker and falls back to the simulator.
struct ConnectionOptions {
    bool usb = false;
    uint32_t tag = 0; // with usb: a tag device of the sibling family
    bool hub = false;
    int serialPort = 0; // 1 and up: that port
    int serialCfg = 0;  // serial configuration word (baud and parity indices)
    bool sim = false;
    int simSensors = 4;
    int simRateHz = 240;
};

// Library diagnostics.
struct DiagOptions {
    int traceLevel = -1; // -1: leave tracing off
    std::string logFile;
};

enum class PnoFormat { Text, Line, Csv, CsvEnh };

struct StreamOptions {
    PnoFormat format = PnoFormat::Text;
    uint64_t frames = 0;  // 0: no limit
    double seconds = 0.0; // 0: no limit
    std::string outFile;  // empty: standard output
    std::string recordFile;
    bool callback = false;
    bool print = true; // false for `record`
};

// An item command: get, set or reset.
struct ItemOptions {
    std::string item;
    std::vector<std::string> values;
    int sensor = 0;
    int source = 0;
    std::string target = "pno"; // filter: pno, pos or ori
    bool resetOrigin = false;   // boresight
};

struct ConvertOptions {
    std::string inFile;
    PnoFormat format = PnoFormat::Text;
    std::string outFile;
    bool skipBad = false; // frames that fail their CRC are counted and skipped
};

struct ServeOptions {
    int port = 18944;
    double rateHz = 0.0;
    std::string prefix = "Sensor";
    std::string bind = "127.0.0.1"; // the loopback: other machines need --bind 0.0.0.0
    int maxClients = 32;
};

} // namespace sxtool
