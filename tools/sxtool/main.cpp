// sxtool: the tracker from the command line, written against the SDK's
// installed interface only, as any application would be.
#include "Commands.h"
#include "ExitCodes.h"
#include "Output.h"
#include "Items.h"
#include "Options.h"
#include "PnoPrinter.h"
#include "Session.h"
#include "StopFlag.h"
#include "Texts.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

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
    std::string format = "text";
};

std::vector<std::string> ItemNames()
{
    std::vector<std::string> names;
    for (size_t i = 0; i < ItemCount(); ++i)
        names.push_back(Items()[i].Name());
    return names;
}

std::string ItemHelp()
{
    std::string help = "Items and the values of set:\n";
    for (size_t i = 0; i < ItemCount(); ++i) {
        const ItemDef& d = Items()[i];
        const char* scope = d.scope == ItemScope::Sensor ? " [--sensor N]" : d.scope == ItemScope::Source ? " [--source N]" : "";
        help += std::string("  ") + d.Name() + scope + (d.parse ? std::string(": ") + d.row->values : ": read only") + "\n";
    }
    return help;
}

// --usb [--tag T] | --hub | --serial N [--cfg C] | --sim [--sensors N] [--rate HZ]
void AddConnection(CLI::App* cmd, ConnectionOptions& c, bool rateIsSimRate = true)
{
    auto* usb = cmd->add_flag("--usb", c.usb, "Connect the tracker on USB");
    cmd->add_option("--tag", c.tag, "With --usb: a tag device of the sibling family with this tag")->needs(usb);
    auto* hub = cmd->add_flag("--hub", c.hub, "Connect through the sibling family's hub");
    auto* serial = cmd->add_option("--serial", c.serialPort, "Connect the tracker on serial port N (from 1)")
                       ->check(CLI::Range(1, 255));
    cmd->add_option("--cfg", c.serialCfg, "With --serial: configuration word (bits 0-3 baud, 4-5 parity)")
        ->needs(serial);
    auto* sim = cmd->add_flag("--sim", c.sim, "Use the simulated tracker, started in this process");
    cmd->add_option("--sensors", c.simSensors, "With --sim: sensors of the simulated tracker (1-16)")
        ->check(CLI::Range(1, 16));
    cmd->add_option(rateIsSimRate ? "--rate,--sim-rate" : "--sim-rate", c.simRateHz,
                    "With --sim: frame rate of the simulated tracker in Hz")
        ->check(CLI::IsMember({30, 60, 120, 240, 480, 960}));
    usb->excludes(hub)->excludes(serial)->excludes(sim);
    hub->excludes(serial)->excludes(sim);
    serial->excludes(sim);
}

void AddItemTarget(CLI::App* cmd, ItemOptions& o)
{
    cmd->add_option("--sensor", o.sensor, "Sensor addressed by a sensor item (from 0)");
    cmd->add_option("--source", o.source, "Source addressed by a source item (from 0)");
    cmd->add_option("--target", o.target, "filter: pno, pos or ori");
}

void AddLimits(CLI::App* cmd, StreamOptions& s)
{
    auto* frames = cmd->add_option("--frames", s.frames, "Stop after N frames")->check(CLI::PositiveNumber);
    auto* seconds = cmd->add_option("--seconds", s.seconds, "Stop after S seconds")->check(CLI::PositiveNumber);
    frames->excludes(seconds);
    cmd->add_flag("--callback", s.callback, "Take frames through the P&O callback instead of the queue");
}

int Usage(const std::string& why)
{
    std::fprintf(stderr, "%s: %s\n%s\n", texts::kProgram, why.c_str(), texts::kUsageLine);
    return kExitUsage;
}

// Connects, runs the command, releases everything.
int WithDevice(const Request& r, const std::function<int(Session&)>& run)
{
    Session session;
    int code = session.Open(r.conn, r.diag);
    if (code == kExitOk)
        code = run(session);
    session.Close();
    Session::EndDiag(r.diag);
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{texts::kDescription, texts::kProgram};
    app.require_subcommand(1);
    app.fallthrough();
    app.footer(texts::kExitCodesFooter);
    Request r;
    app.add_option("--trace", r.diag.traceLevel, "Library trace level 0-7")->check(CLI::Range(0, 7));
    app.add_option("--log", r.diag.logFile, "Write the library's trace to this log file too");

    std::map<CLI::App*, std::function<int()>> run;
    auto device = [&](CLI::App* cmd, std::function<int(Session&)> fn) {
        run[cmd] = [&r, fn] { return WithDevice(r, fn); };
    };

    auto* list = app.add_subcommand("list", "Trackers on USB and serial ports");
    run[list] = [] { return RunList(); };

    auto* info = app.add_subcommand("info", "Device report, identity, station map, BIT, units and frame rate");
    AddConnection(info, r.conn);
    device(info, [](Session& s) { return RunInfo(s); });

    const std::vector<std::string> names = ItemNames();
    auto* get = app.add_subcommand("get", "Read a configuration item and print its report");
    get->add_option("ITEM", r.item.item, "Configuration item")->required()->check(CLI::IsMember(names));
    AddItemTarget(get, r.item);
    AddConnection(get, r.conn);
    get->footer(ItemHelp());
    device(get, [&r](Session& s) { return RunGet(s, r.item); });

    auto* set = app.add_subcommand("set", "Set a configuration item and print the record sent");
    set->add_option("ITEM", r.item.item, "Configuration item")->required()->check(CLI::IsMember(names));
    set->add_option("VALUES", r.item.values, "The item's value words");
    set->add_flag("--reset-origin", r.item.resetOrigin, "boresight: reset the origin too");
    AddItemTarget(set, r.item);
    AddConnection(set, r.conn);
    set->footer(ItemHelp());
    device(set, [&r](Session& s) { return RunSet(s, r.item); });

    auto* reset = app.add_subcommand("reset", "Reset a configuration item and print what it became");
    reset->add_option("ITEM", r.item.item, "Configuration item")->required()->check(CLI::IsMember(names));
    AddItemTarget(reset, r.item);
    AddConnection(reset, r.conn);
    reset->footer(ItemHelp());
    device(reset, [&r](Session& s) { return RunReset(s, r.item); });

    auto* block = app.add_subcommand("block", "The whole configuration, read item by item");
    AddConnection(block, r.conn);
    device(block, [](Session& s) { return RunBlock(s); });

    auto* persist = app.add_subcommand("persist", "Keep the configuration in the unit over power cycles");
    AddConnection(persist, r.conn);
    device(persist, [](Session& s) { return RunPersist(s); });

    const auto formats = CLI::IsMember({"text", "line", "csv", "csvenh"});
    auto* single = app.add_subcommand("single", "One single-P&O request, printed");
    single->add_option("--format", r.format, PnoFormatNames())->check(formats);
    AddConnection(single, r.conn);
    device(single, [&r](Session& s) {
        PnoFormat f = PnoFormat::Text;
        ParsePnoFormat(r.format, f);
        return RunSingle(s, f);
    });

    auto* stream = app.add_subcommand("stream", "Continuous P&O, printed (a live table on a terminal)");
    stream->add_option("--format", r.format, PnoFormatNames())->check(formats);
    stream->add_option("--out", r.stream.outFile, "Write the reports to this file (status line on stderr)");
    stream->add_option("--record", r.stream.recordFile, "Also record every frame into this file");
    AddLimits(stream, r.stream);
    AddConnection(stream, r.conn);
    device(stream, [&r](Session& s) {
        ParsePnoFormat(r.format, r.stream.format);
        InstallStopHandlers();
        return RunStream(s, r.stream);
    });

    auto* record = app.add_subcommand("record", "Record every P&O frame into a file");
    record->add_option("FILE", r.stream.recordFile, "Recording to write")->required();
    AddLimits(record, r.stream);
    AddConnection(record, r.conn);
    device(record, [&r](Session& s) {
        r.stream.print = false;
        InstallStopHandlers();
        return RunStream(s, r.stream);
    });

    auto* convert = app.add_subcommand("convert", "Turn a recording into P&O reports, without a device");
    convert->add_option("FILE", r.convert.inFile, "Recording to read")->required();
    convert->add_option("--format", r.format, PnoFormatNames())->check(formats);
    convert->add_option("--out", r.convert.outFile, "Write the reports to this file");
    convert->add_flag("--skip-bad", r.convert.skipBad, "Skip and count frames that fail their CRC");
    run[convert] = [&r] {
        ParsePnoFormat(r.format, r.convert.format);
        return RunConvert(r.convert);
    };

#ifdef SXTOOL_WITH_SERVE
    auto* serve = app.add_subcommand("serve", "Serve P&O to OpenIGTLink clients until Ctrl-C");
    serve->add_option("--port", r.serve.port, "TCP port")->check(CLI::Range(1, 65535));
    serve->add_option("--rate", r.serve.rateHz, "Most TRANSFORM messages a second per client; 0: every frame");
    serve->add_option("--name", r.serve.prefix, "Device name prefix");
    serve->add_option("--bind", r.serve.bind, "IPv4 address to listen on; 0.0.0.0 for every interface")
        ->check(CLI::ValidIPV4);
    serve->add_option("--max-clients", r.serve.maxClients, "Most clients at once; more are refused")
        ->check(CLI::Range(1, 10000));
    AddConnection(serve, r.conn, false);
    device(serve, [&r](Session& s) {
        InstallStopHandlers();
        return RunServe(s, r.serve);
    });
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return Usage(e.what());
    }
    SeparateDataFromTrace();
    for (CLI::App* sub : app.get_subcommands())
        if (run.count(sub))
            return run[sub]();
    return Usage("no command given");
}
