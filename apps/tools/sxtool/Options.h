// What the command line asked for, filled by the argument parser and read by
// the commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sxtool {

// Which tracker to talk to. With none of usb, hub, serial and sim set the
// tool takes the first tracker on USB; the simulator only when asked for.
struct ConnectionOptions {
    bool usb = false;
    std::string usbSerial; // with usb: the tracker with this serial number
    uint32_t tag = 0;      // with usb: a tag device of the sibling family
    bool hub = false;
    int serialPort = -1; // 1 and up: that port; 0: the first port that answers
    int serialCfg = 0;   // serial configuration word (baud and parity indices)
    bool sim = false;
    int simSensors = 4;
    int simRateHz = 240;
    bool simStatic = false; // each sensor holds a fixed pose
    bool reconnect = false; // streaming commands: connect again after a lost line
    double simJitterMs = 0; // each frame written a random 0 to this many ms late
};

// Library diagnostics.
struct DiagOptions {
    int traceLevel = -1; // -1: leave tracing off
    std::string logFile;
};

enum class PnoFormat { Text, Line, Csv, CsvEnh, Jsonl };

struct StreamOptions {
    PnoFormat format = PnoFormat::Text;
    uint64_t frames = 0;  // 0: no limit
    double seconds = 0.0; // 0: no limit
    std::string outFile;  // empty: standard output
    std::string recordFile;
    bool force = false; // an existing output file may be replaced
    bool callback = false;
    bool print = true;       // false for `record`
    bool timestamps = false; // rows begin with the host time stamp and the measurement time
    uint32_t sensorMask = 0; // the sensors printed (bit n: sensor n); 0: all
};

// An item command: get, set or reset.
struct ItemOptions {
    std::string item;
    std::vector<std::string> values;
    int sensor = -1;            // -1: not given (a sensor item addresses sensor 0)
    int source = -1;            // -1: not given (a source item addresses source 0)
    std::string target = "pno"; // filter: pno, pos or ori
    bool resetOrigin = false;   // boresight
    bool json = false;          // the record's fields as a JSON object
};

struct ConvertOptions {
    std::string inFile;
    PnoFormat format = PnoFormat::Text;
    std::string outFile;
    bool skipBad = false; // frames that fail their CRC are counted and skipped
    bool timestamps = false;
    bool force = false; // an existing output file may be replaced
};

// config save and load.
struct ConfigOptions {
    std::string file;
    bool force = false; // save: replace the file; load: take another model's or firmware's
};

struct ServeOptions {
    int port = 18944;
    double rateHz = 0.0;
    std::string prefix = "Sensor";
    std::string bind = "127.0.0.1"; // the loopback: other machines need --bind 0.0.0.0
    int maxClients = 32;
};

struct Ros2Options {
    int domain = -1;              // -1: ROS_DOMAIN_ID, else 0
    std::string ns = "sx";        // topics /<ns>/sensor<k>/pose, frames <ns>_source, <ns>_sensor<k>
    std::string qos = "reliable"; // of the pose topics; best-effort: ROS 2's sensor-data profile
    double rateHz = 0.0;          // most frames a second; 0: every frame
};

struct ViewOptions {
    int port = 8080;
    std::string bind = "127.0.0.1"; // the loopback: other machines need --bind 0.0.0.0
    bool readOnly = false;
    bool open = false; // open the page in the desktop's browser
    int maxBrowsers = 8;
    std::string recordDir = ".";
};

} // namespace sxtool
