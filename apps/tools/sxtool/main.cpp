// sxtool: the tracker from the command line, written against the SDK's
// installed interface only, as any application would be.
#include "Commands.h"
#include "ExitCodes.h"
#include "FileChecks.h"
#include "Items.h"
#include "Options.h"
#include "Output.h"
#include "PnoPrinter.h"
#include "Session.h"
#include "StopFlag.h"
#include "Texts.h"

#include <items/ItemWords.h>
#ifdef SXTOOL_WITH_ROS2
#include <ros2/SXros2.h>
#endif

#include <SXCmdIF/SXCmdIF.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#ifndef SXTOOL_VERSION
#define SXTOOL_VERSION "0.0.0"
#endif

using namespace sxtool;

namespace {

// Everything the command line can ask for.
struct Request {
    DiagOptions diag;
    ConnectionOptions conn;
    ItemOptions item;
    StreamOptions stream;
    ConvertOptions convert;
    ServeOptions serve;
    ViewOptions view;
    Ros2Options ros2;
    std::string format = "text";
    std::string sensors; // stream: the sensors printed, "0,2"
    bool json = false;
    bool crlf = false;
};

std::vector<std::string> ItemNames()
{
    std::vector<std::string> names;
    for (size_t i = 0; i < ItemCount(); ++i)
        names.push_back(Items()[i].Name());
    return names;
}

std::string Joined(const std::vector<std::string>& words, const char* sep)
{
    std::string out;
    for (const std::string& w : words)
        out += (out.empty() ? "" : sep) + w;
    return out;
}

std::string ItemHelp()
{
    std::string help = "Items and the values of set:\n";
    for (size_t i = 0; i < ItemCount(); ++i) {
        const ItemDef& d = Items()[i];
        const char* scope = d.scope == ItemScope::Sensor   ? " [--sensor N]"
                            : d.scope == ItemScope::Source ? " [--source N]"
                                                           : "";
        help +=
            std::string("  ") + d.Name() + scope + (d.parse ? std::string(": ") + d.row->values : ": read only") + "\n";
    }
    // The words each place takes (bash completion reads them from here).
    help += "Words of set, by place:\n";
    for (size_t i = 0; i < ItemCount(); ++i) {
        const std::vector<std::string> places = sxitems::SetWordChoices(Items()[i].Name());
        for (size_t p = 0; p < places.size(); ++p)
            if (!places[p].empty())
                help += std::string("  ") + Items()[i].Name() + " " + std::to_string(p + 1) + ": " + places[p] + "\n";
    }
    return help;
}

// A check whose message says what is accepted; CLI11 puts the option's name
// before it.
CLI::Validator Accepts(const std::string& what, std::function<bool(const std::string&, std::string&)> ok)
{
    return CLI::Validator(
        [ok](std::string& in) {
            std::string error;
            return ok(in, error) ? std::string() : error;
        },
        what);
}

bool WholeNumber(const std::string& in, long& v)
{
    char* end = nullptr;
    errno = 0;
    v = std::strtol(in.c_str(), &end, 10);
    return !in.empty() && *end == '\0' && errno == 0;
}

// A sensor or source number, checked as the item table checks them.
CLI::Validator Numbered(const std::string& range, const std::string& what, bool (*check)(long, std::string&))
{
    return Accepts(range, [range, what, check](const std::string& in, std::string& e) {
        long n = 0;
        if (!WholeNumber(in, n)) {
            e = "'" + in + "' is not a " + what + " number: " + what + "s are numbered " + range;
            return false;
        }
        return check(n, e);
    });
}
const CLI::Validator kSensorNumber = Numbered("0 to 15", "sensor", sxitems::CheckSensor);
const CLI::Validator kSourceNumber = Numbered("0 to 3", "source", sxitems::CheckSource);
const CLI::Validator kFrameCount = Accepts("1 or more", [](const std::string& in, std::string& e) {
    long n = 0;
    if (!WholeNumber(in, n) || n < 1) {
        e = "'" + in + "' is not a number of frames: give a whole number of 1 or more";
        return false;
    }
    return true;
});
// A number greater than 0: "'x' is not <what>: give <hint>".
CLI::Validator Positive(const std::string& name, const std::string& what, const std::string& hint)
{
    return Accepts(name, [what, hint](const std::string& in, std::string& e) {
        char* end = nullptr;
        const double v = std::strtod(in.c_str(), &end);
        if (in.empty() || *end != '\0' || !std::isfinite(v) || v <= 0) {
            e = "'" + in + "' is not " + what + ": give " + hint;
            return false;
        }
        return true;
    });
}
const CLI::Validator kSeconds = Positive("> 0", "a number of seconds", "a number greater than 0, such as 2.5");

// "0,2" into a sensor mask; every number checked.
bool ParseSensorList(const std::string& list, uint32_t& mask, std::string& e)
{
    mask = 0;
    size_t at = 0;
    while (at <= list.size()) {
        const size_t comma = list.find(',', at);
        const std::string word = list.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        long n = 0;
        if (!WholeNumber(word, n)) {
            e = "'" + word + "' is not a sensor number: give sensors 0 to 15 separated by commas, such as 0,2";
            return false;
        }
        if (!sxitems::CheckSensor(n, e))
            return false;
        mask |= 1u << n;
        if (comma == std::string::npos)
            break;
        at = comma + 1;
    }
    return true;
}
const CLI::Validator kSensorList = Accepts("LIST", [](const std::string& in, std::string& e) {
    uint32_t mask = 0;
    return ParseSensorList(in, mask, e);
});

// The --usb options of every command, for telling after parsing whether
// one was given (it may come without its serial number).
std::vector<std::pair<CLI::Option*, ConnectionOptions*>>& UsbOptions()
{
    static std::vector<std::pair<CLI::Option*, ConnectionOptions*>> options;
    return options;
}

// --usb [SERIAL] [--tag T] | --hub | --serial N [--cfg C] | --sim [--sim-sensors N] [--sim-rate HZ]
void AddConnection(CLI::App* cmd, ConnectionOptions& c, bool rateIsSimRate = true)
{
    auto* usb =
        cmd->add_option("--usb", c.usbSerial,
                        "Connect the tracker on USB; with SERIAL, the one with that serial number (sxtool list)")
            ->expected(0, 1);
    UsbOptions().push_back({usb, &c});
    cmd->add_option("--tag", c.tag, "With --usb: a tag device of the sibling family with this tag")->needs(usb);
    auto* hub = cmd->add_flag("--hub", c.hub, "Connect through the sibling family's hub");
    auto* serial = cmd->add_option("--serial", c.serialPort,
                                   "Connect the tracker on serial port N (from 1; 0: the first port that answers)")
                       ->check(Accepts("0-255", [](const std::string& in, std::string& e) {
                           long n = 0;
                           if (WholeNumber(in, n) && n >= 0 && n <= 255)
                               return true;
                           e = "'" + in +
                               "' is not a serial port number: ports are numbered from 1 (sxtool list), "
                               "0 finds the tracker on any port";
                           return false;
                       }));
    cmd->add_option("--cfg", c.serialCfg, "With --serial: configuration word (bits 0-3 baud, 4-5 parity)")
        ->needs(serial);
    auto* sim = cmd->add_flag("--sim", c.sim, "Use the simulated tracker, started in this process");
    cmd->add_option("--sim-sensors", c.simSensors, "With --sim: sensors of the simulated tracker (1-16)")
        ->check(CLI::Range(1, 16))
        ->capture_default_str();
    cmd->add_flag("--sim-static", c.simStatic,
                  "With --sim: each sensor k holds a fixed pose (x 10+k, y -5+2k, z 3.5 inches; azimuth 10k, "
                  "elevation 30, roll -45 degrees)");
    cmd->add_option("--sim-jitter-ms", c.simJitterMs,
                    "With --sim: write each frame a random 0 to X ms late, keeping their order (0-100)")
        ->check(CLI::Range(0.0, 100.0));
    cmd->add_option(rateIsSimRate ? "--rate,--sim-rate" : "--sim-rate", c.simRateHz,
                    "With --sim: frame rate of the simulated tracker in Hz")
        ->check(Accepts("HZ",
                        [](const std::string& in, std::string& e) {
                            uint32_t code = 0;
                            char* end = nullptr;
                            const double hz = std::strtod(in.c_str(), &end);
                            return !in.empty() && *end == '\0' && sxitems::FrameRateCode(hz, code, e);
                        }))
        ->capture_default_str();
    usb->excludes(hub)->excludes(serial)->excludes(sim);
    hub->excludes(serial)->excludes(sim);
    serial->excludes(sim);
}

void AddForce(CLI::App* cmd, bool& force)
{
    cmd->add_flag("--force", force, "Replace an existing output file");
}

void AddItemTarget(CLI::App* cmd, ItemOptions& o)
{
    cmd->add_option("--sensor", o.sensor, "Sensor addressed by a sensor item (0-15; default 0)")->check(kSensorNumber);
    cmd->add_option("--source", o.source, "Source addressed by a source item (0-3; default 0)")->check(kSourceNumber);
    cmd->add_option("--target", o.target, "filter: pno, pos or ori");
}

void AddReconnect(CLI::App* cmd, ConnectionOptions& c)
{
    cmd->add_flag("--reconnect", c.reconnect,
                  "After a lost line, connect again every second, make the settings again and go on streaming");
}

void AddLimits(CLI::App* cmd, StreamOptions& s)
{
    auto* frames = cmd->add_option("--frames", s.frames, "Stop after N frames (1 or more)")->check(kFrameCount);
    auto* seconds = cmd->add_option("--seconds", s.seconds, "Stop after S seconds (more than 0)")->check(kSeconds);
    frames->excludes(seconds);
    cmd->add_flag("--callback", s.callback, "Take frames through the P&O callback instead of the queue");
}

void AddFormat(CLI::App* cmd, std::string& format, bool& timestamps)
{
    cmd->add_option("--format", format, PnoFormatNames())
        ->check(Accepts(PnoFormatNames(), [](const std::string& in, std::string& e) {
            PnoFormat f;
            if (ParsePnoFormat(in, f))
                return true;
            e = "unknown format '" + in + "': the formats are " + Joined(PnoFormatList(), ", ");
            return false;
        }));
    cmd->add_flag("--timestamps", timestamps,
                  "Begin every row with the frame's host time stamp (arrival, monotonic clock) and its "
                  "measurement time (system clock), in nanoseconds (text, line and CSV forms)");
}

int Usage(const std::string& why)
{
    std::fprintf(stderr, "%s: %s%s%s%s", texts::kProgram, why.c_str(), LineEnd(), texts::kUsageLine, LineEnd());
    return kExitUsage;
}

int Version()
{
    std::printf("%s %s%s", texts::kProgram, SXTOOL_VERSION, LineEnd());
    std::printf("libSXCmdIF %s%s", sxcmdif_version(), LineEnd());
    std::printf("built: libSXCmdIF %s, sxtool %s%s", sxcmdif_datetime(), __DATE__ " " __TIME__, LineEnd());
    return kExitOk;
}

// A command this build leaves out: listed with the others, it takes any
// arguments and says how to have it (in its help too).
[[maybe_unused]] void AddNotBuilt(CLI::App& app, std::map<CLI::App*, std::function<int()>>& run, const char* name,
                                  const std::string& what, const char* how)
{
    auto* cmd = app.add_subcommand(name, what + " (not in this build)");
    cmd->fallthrough(false)->allow_extras();
    cmd->footer(std::string("Not in this build: ") + how + ".");
    run[cmd] = [name, how] {
        Complain(texts::kNotBuilt, name, how);
        return kExitUsage;
    };
}

// Connects, runs the command, releases everything.
int WithDevice(const Request& r, const std::function<int(Session&)>& run)
{
    Session session;
    int code = session.Open(r.conn, r.diag);
    if (code == kExitOk)
        code = run(session);
    session.Close();
    return code;
}

// Global options that take a value, for finding the command word.
bool TakesValue(const std::string& arg)
{
    return arg == "--trace" || arg == "--log";
}

// The command word of the command line (empty: none), or the index past the end.
size_t CommandWord(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (TakesValue(a)) {
            ++i;
            continue;
        }
        if (a.empty() || a[0] != '-')
            return static_cast<size_t>(i);
    }
    return static_cast<size_t>(argc);
}

} // namespace

int main(int argc, char** argv)
{
    // The library's trace lines go to standard error, never among the data.
    RouteTrace();

    CLI::App app{texts::kDescription, texts::kProgram};
    app.require_subcommand(1);
    app.fallthrough();
    app.footer(texts::kExitCodesFooter);
    Request r;
    bool version = false;
    app.add_flag("--version", version, "Print the versions of sxtool, the library and their builds");
    app.add_flag("--crlf", r.crlf, "End lines in \\r\\n as the library's texts do (default: \\n)");
    app.add_option("--trace", r.diag.traceLevel, "Library trace level 0-7, on standard error")->check(CLI::Range(0, 7));
    app.add_option("--log", r.diag.logFile, "Write the library's trace to this log file too");

    std::map<CLI::App*, std::function<int()>> run;
    std::map<CLI::App*, std::function<CommandFiles()>> files; // the files a command reads and writes
    auto device = [&](CLI::App* cmd, std::function<int(Session&)> fn) {
        run[cmd] = [&r, fn] { return WithDevice(r, fn); };
    };
    auto addJson = [&](CLI::App* cmd) {
        cmd->add_flag("--json", r.json, "Print JSON: the record's field names as keys");
    };

    auto* help = app.add_subcommand("help", "This help, or a command's (sxtool help COMMAND)");
    help->allow_extras();

    auto* list = app.add_subcommand("list", "Trackers on USB and serial ports");
    addJson(list);
    run[list] = [&r] { return RunList(r.json); };

    auto* info = app.add_subcommand("info", "Device report, identity, attached sensors and sources, BIT, units and "
                                            "frame rate");
    addJson(info);
    AddConnection(info, r.conn);
    device(info, [&r](Session& s) { return RunInfo(s, r.json); });

    const std::vector<std::string> names = ItemNames();
    const CLI::Validator itemName = Accepts("ITEM", [names](const std::string& in, std::string& e) {
        for (const std::string& n : names)
            if (n == in)
                return true;
        e = "unknown item '" + in + "': the items are " + Joined(names, ", ");
        return false;
    });
    auto* get = app.add_subcommand("get", "Read a configuration item and print its report");
    get->add_option("ITEM", r.item.item, "Configuration item")->required()->check(itemName);
    AddItemTarget(get, r.item);
    AddConnection(get, r.conn);
    get->add_flag("--json", r.item.json, "Print the record's fields as JSON");
    get->footer(ItemHelp());
    device(get, [&r](Session& s) { return RunGet(s, r.item); });

    auto* set = app.add_subcommand("set", "Set a configuration item and print the record sent");
    set->add_option("ITEM", r.item.item, "Configuration item")->required()->check(itemName);
    set->add_option("VALUES", r.item.values,
                    "The item's value words; with --json, - reads the record from "
                    "standard input as get --json prints it");
    set->add_flag("--reset-origin", r.item.resetOrigin, "boresight: reset the origin too");
    AddItemTarget(set, r.item);
    AddConnection(set, r.conn);
    set->add_flag("--json", r.item.json, "Print the record's fields as JSON (and read them with the value -)");
    set->footer(ItemHelp());
    device(set, [&r](Session& s) { return RunSet(s, r.item); });

    auto* reset = app.add_subcommand("reset", "Reset a configuration item and print what it became");
    reset->add_option("ITEM", r.item.item, "Configuration item")->required()->check(itemName);
    AddItemTarget(reset, r.item);
    AddConnection(reset, r.conn);
    reset->add_flag("--json", r.item.json, "Print the record's fields as JSON");
    reset->footer(ItemHelp());
    device(reset, [&r](Session& s) { return RunReset(s, r.item); });

    auto* block = app.add_subcommand("block", "The whole configuration of the attached sensors and sources, read "
                                              "item by item");
    addJson(block);
    AddConnection(block, r.conn);
    device(block, [&r](Session& s) { return RunBlock(s, r.json); });

    auto* persist = app.add_subcommand("persist", "Keep the configuration in the unit over power cycles");
    AddConnection(persist, r.conn);
    device(persist, [](Session& s) { return RunPersist(s); });

    auto* single = app.add_subcommand("single", "One single-P&O request, printed");
    AddFormat(single, r.format, r.stream.timestamps);
    AddConnection(single, r.conn);
    device(single, [&r](Session& s) {
        PnoFormat f = PnoFormat::Text;
        ParsePnoFormat(r.format, f);
        return RunSingle(s, f, r.stream.timestamps);
    });

    auto* stream = app.add_subcommand("stream", "Continuous P&O, printed (a live table on a terminal)");
    AddFormat(stream, r.format, r.stream.timestamps);
    stream->add_option("--sensors", r.sensors, "Print only these sensors, such as 0,2")->check(kSensorList);
    stream->add_option("--out", r.stream.outFile, "Write the reports to this file (status line on stderr)");
    stream->add_option("--record", r.stream.recordFile, "Also record every frame into this file");
    AddForce(stream, r.stream.force);
    AddLimits(stream, r.stream);
    AddConnection(stream, r.conn);
    AddReconnect(stream, r.conn);
    device(stream, [&r](Session& s) {
        ParsePnoFormat(r.format, r.stream.format);
        std::string ignored;
        if (!r.sensors.empty())
            ParseSensorList(r.sensors, r.stream.sensorMask, ignored);
        InstallStopHandlers();
        return RunStream(s, r.stream);
    });

    auto* record = app.add_subcommand("record", "Record every P&O frame into a file");
    record->add_option("FILE", r.stream.recordFile, "Recording to write (FILE.part until it is complete)")->required();
    AddForce(record, r.stream.force);
    AddLimits(record, r.stream);
    AddConnection(record, r.conn);
    AddReconnect(record, r.conn);
    device(record, [&r](Session& s) {
        r.stream.print = false;
        InstallStopHandlers();
        return RunStream(s, r.stream);
    });

    auto* convert = app.add_subcommand("convert", "Turn a recording into P&O reports, without a device");
    convert->add_option("FILE", r.convert.inFile, "Recording to read")->required();
    AddFormat(convert, r.format, r.convert.timestamps);
    convert->add_option("--out", r.convert.outFile, "Write the reports to this file");
    convert->add_flag("--skip-bad", r.convert.skipBad, "Skip and count frames that fail their CRC");
    AddForce(convert, r.convert.force);
    run[convert] = [&r] {
        ParsePnoFormat(r.format, r.convert.format);
        return RunConvert(r.convert);
    };
    files[convert] = [&r] {
        return CommandFiles{{r.convert.inFile}, {r.convert.outFile}, {}, r.convert.outFile.empty(), r.convert.force};
    };
    files[stream] = [&r] {
        return CommandFiles{{}, {r.stream.outFile}, {r.stream.recordFile}, r.stream.outFile.empty(), r.stream.force};
    };
    files[record] = [&r] { return CommandFiles{{}, {}, {r.stream.recordFile}, false, r.stream.force}; };

    ConfigOptions config;
    auto* configCmd = app.add_subcommand("config", "Save the tracker's configuration into a file, or load it");
    configCmd->require_subcommand(1);
    auto* save = configCmd->add_subcommand("save", "Every item set can change, with the tracker's identity, as JSON");
    save->add_option("FILE", config.file, "Configuration file to write")->required();
    AddForce(save, config.force);
    AddConnection(save, r.conn);
    device(save, [&config](Session& s) { return RunConfigSave(s, config); });
    files[save] = [&config] { return CommandFiles{{}, {config.file}, {}, false, config.force}; };
    auto* load = configCmd->add_subcommand("load", "Apply a saved configuration (units first), each value read back");
    load->add_option("FILE", config.file, "Configuration file to read")->required();
    load->add_flag("--force", config.force, "Load a file saved from another model or firmware");
    AddConnection(load, r.conn);
    device(load, [&config](Session& s) { return RunConfigLoad(s, config); });
    files[load] = [&config] { return CommandFiles{{config.file}, {}, {}, false, false}; };

    const std::string serveWhat = "Serve P&O to OpenIGTLink clients until Ctrl-C";
#ifdef SXTOOL_WITH_SERVE
    auto* serve = app.add_subcommand("serve", serveWhat);
    serve->add_option("--port", r.serve.port, "TCP port")->check(CLI::Range(1, 65535))->capture_default_str();
    serve->add_option("--rate", r.serve.rateHz, "Most TRANSFORM messages a second per client; 0: every frame");
    serve->add_option("--name", r.serve.prefix, "Device name prefix")->capture_default_str();
    serve->add_option("--bind", r.serve.bind, "IPv4 address to listen on; 0.0.0.0 for every interface")
        ->check(CLI::ValidIPV4)
        ->capture_default_str();
    serve->add_option("--max-clients", r.serve.maxClients, "Most clients at once; more are refused")
        ->check(CLI::Range(1, 10000))
        ->capture_default_str();
    AddConnection(serve, r.conn, false);
    AddReconnect(serve, r.conn);
    device(serve, [&r](Session& s) {
        InstallStopHandlers();
        return RunServe(s, r.serve);
    });
#else
    AddNotBuilt(app, run, "serve", serveWhat, texts::kServeNotBuilt);
#endif

    const std::string viewWhat = "A live 3D view of the tracker in the browser until Ctrl-C";
#ifdef SXTOOL_WITH_VIEW
    auto* view = app.add_subcommand("view", viewWhat);
    view->add_option("--port", r.view.port, "TCP port (0: a free one)")
        ->check(CLI::Range(0, 65535))
        ->capture_default_str();
    view->add_option("--bind", r.view.bind, "IPv4 address to listen on; 0.0.0.0 for every interface")
        ->check(CLI::ValidIPV4)
        ->capture_default_str();
    view->add_flag("--read-only", r.view.readOnly, "Leave the controls out; the page may only look");
    view->add_flag("--open", r.view.open, "Open the page in the desktop's browser");
    view->add_option("--max-browsers", r.view.maxBrowsers, "Most browsers at once; more are refused")
        ->check(CLI::Range(1, 64))
        ->capture_default_str();
    view->add_option("--record-dir", r.view.recordDir, "Folder the page's record button writes into")
        ->check(CLI::ExistingDirectory);
    AddConnection(view, r.conn, false);
    AddReconnect(view, r.conn);
    device(view, [&r](Session& s) {
        InstallStopHandlers();
        return RunView(s, r.conn, r.view);
    });
#else
    AddNotBuilt(app, run, "view", viewWhat, texts::kViewNotBuilt);
#endif

#ifdef SXTOOL_WITH_ROS2
    auto* ros2 = app.add_subcommand("ros2", "Publish P&O as ROS 2 topics (/tf, poses, /diagnostics) until Ctrl-C");
    ros2->add_option("--domain", r.ros2.domain, "ROS domain (default: ROS_DOMAIN_ID, else 0)")
        ->check(CLI::Range(0, sxros2::kMaxDomain));
    ros2->add_option("--namespace", r.ros2.ns, "Namespace of the topics and frame ids (default sx)")
        ->check(Accepts("NS", [](const std::string& in, std::string& e) { return sxros2::ValidNamespace(in, e); }));
    ros2->add_option("--qos", r.ros2.qos, "QoS of the pose topics: reliable (default) or best-effort")
        ->check(Accepts("reliable|best-effort", [](const std::string& in, std::string& e) {
            if (in == "reliable" || in == "best-effort")
                return true;
            e = "unknown QoS '" + in + "': give reliable or best-effort";
            return false;
        }));
    ros2->add_option("--rate", r.ros2.rateHz, "Most frames a second on /tf and the poses (default: every frame)")
        ->check(Positive("HZ", "a rate", "frames a second greater than 0, such as 30"));
    AddConnection(ros2, r.conn, false);
    AddReconnect(ros2, r.conn);
    run[ros2] = [&r] {
        std::string error;
        if (r.ros2.domain < 0 && !sxros2::DomainFromEnvironment(r.ros2.domain, error))
            return Usage(error);
        return WithDevice(r, [&r](Session& s) {
            InstallStopHandlers();
            return RunRos2(s, r.conn, r.ros2);
        });
    };
#endif

    // The command word first: an unknown one, or none, is named with the
    // commands there are, and `help` needs no connection.
    std::vector<std::string> commands;
    for (const CLI::App* sub : app.get_subcommands({}))
        commands.push_back(sub->get_name());
    const size_t word = CommandWord(argc, argv);
    bool wantsHelpOrVersion = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (static_cast<size_t>(i) < word && (a == "--help" || a == "-h" || a == "--version"))
            wantsHelpOrVersion = true;
    }
    if (word < static_cast<size_t>(argc)) {
        const std::string cmd = argv[word];
        if (cmd == "help") {
            const std::string about = word + 1 < static_cast<size_t>(argc) ? argv[word + 1] : "";
            if (about.empty()) {
                std::fputs(app.help().c_str(), stdout);
                return kExitOk;
            }
            for (CLI::App* sub : app.get_subcommands({}))
                if (sub->get_name() == about) {
                    std::fputs(sub->help().c_str(), stdout);
                    return kExitOk;
                }
            return Usage("unknown command '" + about + "': the commands are " + Joined(commands, ", "));
        }
        bool known = false;
        for (const std::string& c : commands)
            known = known || c == cmd;
        if (!known)
            return Usage("unknown command '" + cmd + "': the commands are " + Joined(commands, ", "));
    } else if (!wantsHelpOrVersion) {
        return Usage("no command given: the commands are " + Joined(commands, ", "));
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        if (version && word >= static_cast<size_t>(argc))
            return Version();
        return Usage(e.what());
    }
    SetCrlf(r.crlf);
    ShowTrace(r.diag.traceLevel >= 0);
    if (version)
        return Version();
    for (const auto& [option, conn] : UsbOptions())
        conn->usb = conn->usb || option->count() > 0;
    std::vector<CLI::App*> chosen = app.get_subcommands();
    for (size_t i = 0; i < chosen.size(); ++i)
        for (CLI::App* sub : chosen[i]->get_subcommands())
            chosen.push_back(sub);
    for (CLI::App* sub : chosen) {
        if (!run.count(sub))
            continue;
        CommandFiles f = files.count(sub) ? files[sub]() : CommandFiles{};
        for (std::vector<std::string>* names : {&f.outputs, &f.recordings})
            names->erase(std::remove(names->begin(), names->end(), std::string()), names->end());
        const int checked = CheckFiles(f, r.diag.logFile);
        if (checked != kExitOk)
            return checked;
        const int diag = Session::ApplyDiag(r.diag);
        const int code = diag == kExitOk ? run[sub]() : diag;
        Session::EndDiag(r.diag);
        return code;
    }
    return Usage("no command given: the commands are " + Joined(commands, ", "));
}
