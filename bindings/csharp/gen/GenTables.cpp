// Writes the tables SXCmdIF.Net takes from the applications' shared layer,
// so that C# offers exactly what sxtool and the Python module offer:
//   Tables.g.cs     the vocabularies as enumerations named by the words
//                   `sxtool set` accepts, the items, the help sentence of
//                   every error code (the assembly's);
//   Layouts.g.cs    size and field offsets of every record, from the C
//                   headers through the item table's offsetof, with the
//                   command catalogue's sizes (the tests');
//   pno_lines.txt   P&O frames and the library's own line report of each,
//                   for the C# report (the tests');
//   clock_vectors.txt  inputs and results of sxframes::FrameClock, for the
//                   C# port of the model (the tests').
// Usage: GenTables OUTDIR
#include <SXCmdIF/SXCmdIF.h>

#include "frames/FrameClock.h"
#include "items/ErrorHelp.h"
#include "items/ItemTable.h"
#include "items/ItemWords.h"

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using sxitems::FieldType;
using sxitems::RecordKind;

// "euler_degree" -> "EulerDegree", "SRC_SEL_MAP" -> "SrcSelMap", "seuID" -> "SeuID".
std::string CsCase(const std::string& c)
{
    std::string out, part;
    auto flush = [&] {
        if (part.empty())
            return;
        bool upper = true;
        for (char ch : part)
            upper = upper && !std::islower(static_cast<unsigned char>(ch));
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(part[0])));
        for (size_t i = 1; i < part.size(); ++i)
            out += upper ? static_cast<char>(std::tolower(static_cast<unsigned char>(part[i]))) : part[i];
        part.clear();
    };
    for (char ch : c) {
        if (ch == '_' || ch == ' ' || ch == '-')
            flush();
        else
            part += ch;
    }
    flush();
    return out;
}

std::string Quote(const char* s)
{
    std::string out = "\"";
    for (const char* p = s ? s : ""; *p; ++p) {
        if (*p == '"' || *p == '\\')
            out += '\\';
        if (*p == '\r')
            out += "\\r";
        else if (*p == '\n')
            out += "\\n";
        else
            out += *p;
    }
    return out + "\"";
}

std::string Xml(const char* s)
{
    std::string out;
    for (const char* p = s ? s : ""; *p; ++p) {
        if (*p == '&')
            out += "&amp;";
        else if (*p == '<')
            out += "&lt;";
        else if (*p == '>')
            out += "&gt;";
        else
            out += *p;
    }
    return out;
}

// The C# record type of a payload, named after its C struct (_UNITS_CONFIG
// travels as the catalogue's UNITS_CONFIG; the unit identifier's record is
// catalogued under another name).
std::string CsType(const char* payload)
{
    const std::string p = payload;
    return p == "SORIX_SEUID" ? "SeuidConfig" : CsCase(p);
}

// A vocabulary's member name: its word in C# casing; a word that begins
// with a digit keeps the family's last word before it (FTT_MODE_1 -> Mode1).
std::string MemberName(const sxitems::Vocabulary& v, unsigned value)
{
    std::string word = sxitems::Word(v, value);
    if (!word.empty() && std::isdigit(static_cast<unsigned char>(word[0]))) {
        std::string prefix = v.prefix;
        if (!prefix.empty() && prefix.back() == '_')
            prefix.pop_back();
        const size_t us = prefix.rfind('_');
        word = (us == std::string::npos ? prefix : prefix.substr(us + 1)) + "_" + word;
    }
    return CsCase(word);
}

void Vocabularies(std::ostream& o)
{
    size_t count = 0;
    const sxitems::Vocabulary* const* all = sxitems::AllVocabularies(count);
    for (size_t i = 0; i < count; ++i) {
        const sxitems::Vocabulary& v = *all[i];
        o << "/// <summary>The " << v.what << ": the words `sxtool set` accepts (" << sxitems::Choices(v)
          << ").</summary>\npublic enum " << v.enumName << " : uint\n{\n";
        for (unsigned k = 0; k < v.count; ++k)
            o << "    /// <summary>" << Xml(v.name(k)) << ".</summary>\n    " << MemberName(v, k) << " = " << k
              << ",\n";
        o << "}\n\n";
    }
    o << "public static partial class Words\n{\n"
      << "    // Every spelling of each value that sxtool accepts (the name, without its prefix, its texts).\n";
    for (size_t i = 0; i < count; ++i) {
        const sxitems::Vocabulary& v = *all[i];
        o << "    internal static readonly Vocabulary " << v.enumName << " = new Vocabulary(typeof(" << v.enumName
          << "), " << Quote(v.what) << ", new[] {\n";
        for (unsigned k = 0; k < v.count; ++k) {
            std::set<std::string> seen;
            o << "        new[] {";
            const char* texts[] = {nullptr, v.name(k), v.text1 ? v.text1(k) : nullptr, v.text2 ? v.text2(k) : nullptr};
            std::string word = sxitems::Word(v, k);
            texts[0] = word.c_str();
            bool first = true;
            for (const char* t : texts) {
                if (!t || !*t || !seen.insert(t).second)
                    continue;
                o << (first ? "" : ", ") << Quote(t);
                first = false;
            }
            o << "},\n";
        }
        o << "    });\n";
    }
    o << "}\n\n";
}

void Items(std::ostream& o)
{
    size_t count = 0;
    const sxitems::Item* items = sxitems::AllItems(count);
    o << "/// <summary>The configuration items, as `sxtool get`, `set` and `reset` name them.</summary>\n"
      << "public enum Item\n{\n";
    for (size_t i = 0; i < count; ++i)
        o << "    /// <summary>" << Xml(items[i].doc) << " (`" << items[i].name << "`)</summary>\n    "
          << CsCase(items[i].name) << ",\n";
    o << "}\n\ninternal static unsafe partial class ItemTable\n{\n    internal static readonly ItemRow[] Rows = {\n";
    for (size_t i = 0; i < count; ++i) {
        const sxitems::Item& it = items[i];
        const std::string type =
            it.record == RecordKind::None ? "null" : "typeof(" + CsType(sxitems::Record(it.record).payload) + ")";
        const char* arg2 = it.arg2 == sxitems::Arg2::FilterTarget  ? "ItemArg2.FilterTarget"
                           : it.arg2 == sxitems::Arg2::ResetOrigin ? "ItemArg2.ResetOrigin"
                                                                   : "ItemArg2.None";
        o << "        new ItemRow(Item." << CsCase(it.name) << ", " << Quote(it.name) << ", " << type << ", "
          << it.actions << ", " << (it.unit ? "true" : "false") << ", " << (it.sensor ? "true" : "false") << ", "
          << (it.source ? "true" : "false") << ", " << arg2 << ", " << Quote(it.values) << ", " << Quote(it.doc)
          << ", ItemCalls." << CsCase(it.name) << "),\n";
    }
    o << "    };\n}\n\n";
}

void ErrorHelp(std::ostream& o)
{
    o << "internal static partial class ErrorTexts\n{\n"
      << "    // What each code means to a person, and what to try (sxtool's error table), by code.\n"
      << "    internal static readonly string[] Help = {\n";
    for (int code = 0; *sxitems::ErrorHelp(code) || code == 0; ++code)
        o << "        " << Quote(sxitems::ErrorHelp(code)) << ",\n";
    o << "    };\n}\n";
}

// The catalogue's payload size of every payload name.
std::map<std::string, uint64_t> CatalogueSizes()
{
    std::map<std::string, uint64_t> sizes;
    for (unsigned k = 0; k < CMD_MAX; ++k) {
        const char* name = CSXcmd::cmdpaystr(k);
        const uint64_t size = CSXcmd::paysize(static_cast<eSorixCmds>(k));
        if (name && *name && size > 0)
            sizes[name] = size;
    }
    return sizes;
}

void Layouts(std::ostream& o)
{
    const auto catalogue = CatalogueSizes();
    o << "// Generated by GenTables from the C headers (offsetof through the item table).\n"
      << "using System;\n\nnamespace SXCmdIF.Tests\n{\ninternal static class Layouts\n{\n"
      << "    // C# type, catalogue payload name, sizeof, the catalogue's size (0: none),\n"
      << "    // then every field: C name, offset (-1: bits of a word, a property).\n"
      << "    internal static readonly object[][] Records = {\n";
    std::set<std::string> done;
    for (size_t k = 0; k < sxitems::kRecordKinds; ++k) {
        const sxitems::RecordDef& r = sxitems::Record(static_cast<RecordKind>(k));
        const std::string type = CsType(r.payload);
        if (!done.insert(type).second)
            continue;
        const auto cat = catalogue.find(r.payload);
        o << "        new object[] {typeof(" << type << "), " << Quote(r.payload) << ", " << r.size << ", "
          << (cat == catalogue.end() ? 0 : cat->second);
        for (size_t f = 0; f < r.fieldCount; ++f) {
            const sxitems::Field& fd = r.fields[f];
            const bool bits = fd.type == FieldType::Bits || fd.type == FieldType::Flag;
            o << ", " << Quote(fd.name) << ", " << (bits ? -1 : static_cast<int>(fd.offset));
        }
        o << "},\n";
    }
    o << "        new object[] {typeof(SxFrameInfo), \"sxFrameInfo\", " << sizeof(_sxFrameInfo) << ", 0"
      << ", \"pFrame\", " << offsetof(_sxFrameInfo, pFrame) << ", \"frameLen\", " << offsetof(_sxFrameInfo, frameLen)
      << ", \"seqNum\", " << offsetof(_sxFrameInfo, seqNum) << ", \"errCode\", " << offsetof(_sxFrameInfo, errCode)
      << ", \"timeStamp\", " << offsetof(_sxFrameInfo, timeStamp) << "},\n";
    o << "    };\n}\n}\n";
}

// ---- P&O frames and the library's line report of each ---------------------------

void PutWord(std::vector<unsigned char>& f, size_t at, uint32_t w)
{
    for (int i = 0; i < 4; ++i)
        f[at + i] = static_cast<unsigned char>(w >> (8 * i));
}
void PutFloat(std::vector<unsigned char>& f, size_t at, float v)
{
    uint32_t w;
    std::memcpy(&w, &v, 4);
    PutWord(f, at, w);
}

std::vector<unsigned char> MakeFrame(uint32_t seuid, uint32_t count, uint32_t hpinfo, unsigned sensors,
                                     unsigned posUnits, unsigned oriUnits, const float* values)
{
    std::vector<unsigned char> f(28 + 32 * sensors, 0);
    std::memcpy(f.data(), "SXRP", 4);
    PutWord(f, 4, 20 + 32 * sensors);
    PutWord(f, 8, seuid);
    PutWord(f, 12, count);
    PutWord(f, 16, hpinfo);
    PutWord(f, 20, sensors);
    for (unsigned k = 0; k < sensors; ++k) {
        const size_t at = 24 + 32 * k;
        const uint32_t sfinfo = (k * 3 % 16) | posUnits << 8 | oriUnits << 10 | (k & 1u) << 12 | (k & 2u) << 12 |
                                (k * 37u & 0xFFu) << 14 | (k * 5u) << 22;
        PutWord(f, at, sfinfo);
        if (hpinfo & 0xF) { // acceleration record: float positions, fractions after them
            for (int i = 0; i < 3; ++i)
                PutFloat(f, at + 4 + 4 * i, values[(k + i) % 16]);
            for (int i = 0; i < 8; ++i) {
                const auto fr = static_cast<int16_t>(values[(k + i) % 16] * 1000.0f);
                f[at + 16 + 2 * i] = static_cast<unsigned char>(fr & 0xFF);
                f[at + 17 + 2 * i] = static_cast<unsigned char>((fr >> 8) & 0xFF);
            }
        } else {
            for (int i = 0; i < 7; ++i)
                PutFloat(f, at + 4 + 4 * i, values[(k + i) % 16]);
        }
    }
    return f; // the CRC is not read by the report
}

void PnoLines(std::ostream& o)
{
    // Values that test rounding (ties of the binary value, ninety-nines,
    // signs, zero and minus zero) in every width and precision.
    const float values[16] = {0.03125f,   -0.0005f,   12.345678f,   -99.99995f, 0.0f,    -0.0f,
                              1.5f,       180.0f,     -179.9996f,   0.125f,     9999.9f, -1.0e-7f,
                              3.1415927f, 0.7071068f, -0.49999997f, 250.0625f};
    for (unsigned pos = 0; pos < 4; ++pos)
        for (unsigned ori = 0; ori < 3; ++ori)
            for (uint32_t mode = 0; mode < 2; ++mode)
                for (int accel = 0; accel < 2; ++accel)
                    for (int zero = 0; zero < 2; ++zero) {
                        const auto f = MakeFrame(pos * 3 + ori, 1000 * pos + 17 * ori + mode, mode | 0x120u,
                                                 1 + (pos + ori) % 4, pos, ori, values);
                        CSXSeuPno pno;
                        pno.Extractraw(const_cast<unsigned char*>(f.data()), static_cast<unsigned>(f.size()));
                        std::string text;
                        pno.Report(text, false, zero != 0, accel != 0);
                        o << "frame " << zero << " " << accel << " ";
                        for (unsigned char b : f) {
                            char hex[3];
                            std::snprintf(hex, sizeof hex, "%02x", b);
                            o << hex;
                        }
                        o << "\n"
                          << "text " << Quote(text.c_str()) << "\n";
                    }
}

// ---- The frame clock's vectors ------------------------------------------------------

// Inputs a real stream gives the model and the monotonic measurement time the
// C++ model gives for each, in the form of tests/frames/frame_clock_vectors.txt
// (N period, R, S count arrival stamp, C restarts reanchors), which the C# test
// replays too. Here: steady frames, jitter and bursts, lost frames, a faster
// rate set mid-stream, a count reset and a wrap, an arrival that runs
// backwards, a stream started again; then what that file leaves out: a period
// learned from the frames alone over more blocks than are kept, a count that
// jumps ahead unannounced, a slower rate announced, a stream measured later
// than its count says by less than the late limit.
void ClockVectors(std::ostream& o)
{
    sxframes::FrameClock clock;
    uint32_t lcg = 12345;
    auto jitter = [&lcg](int64_t maxNs) {
        lcg = lcg * 1103515245u + 12345u;
        return static_cast<int64_t>((lcg >> 8) % static_cast<uint32_t>(maxNs));
    };
    auto stamp = [&](uint32_t count, int64_t arrival) {
        const sxframes::FrameTime t = clock.Stamp(count, arrival);
        o << "S " << count << " " << arrival << " " << t.monotonicNs << "\n";
    };
    auto period = [&](int64_t ns) {
        clock.SetNominalPeriodNs(ns);
        o << "N " << ns << "\n";
    };
    auto reset = [&] {
        clock.Reset();
        o << "R\n";
    };
    auto counters = [&] { o << "C " << clock.Restarts() << " " << clock.Reanchors() << "\n"; };
    o << "# FrameClock vectors (bindings/csharp/gen/GenTables.cpp), as tests/frames/frame_clock_vectors.txt\n";
    int64_t t0 = 5000000000;
    period(4166667);
    uint32_t n = 100;
    for (int i = 0; i < 200; ++i, ++n) // 240 Hz, up to 3 ms late
        stamp(n, t0 + n * 4166667LL + jitter(3000000));
    for (int i = 0; i < 50; ++i, n += 3) // every third frame lost
        stamp(n, t0 + n * 4166667LL + jitter(500000));
    for (int i = 0; i < 40; ++i, ++n) // a burst: eight frames at once
        stamp(n, t0 + (n / 8 * 8 + 8) * 4166667LL);
    const int64_t t1 = t0 + n * 4166667LL;
    period(1041667); // 960 Hz from here
    for (int i = 0; i < 100; ++i, ++n)
        stamp(n, t1 + i * 1041667LL + jitter(200000));
    stamp(n, t1 + 99 * 1041667LL - 5000000); // arrives before the one before it
    n = 0;                                   // the count reset
    const int64_t t2 = t1 + 200 * 1041667LL;
    for (int i = 0; i < 50; ++i, ++n)
        stamp(n, t2 + i * 1041667LL + jitter(100000));
    n = 0xFFFFFFF0u; // the count wraps
    for (int i = 0; i < 32; ++i, ++n)
        stamp(n, t2 + (60 + i) * 1041667LL + jitter(100000));
    counters();
    reset();
    const int64_t t3 = t2 + 1000000000LL; // a stream started again
    for (int i = 0; i < 30; ++i)
        stamp(static_cast<uint32_t>(i), t3 + i * 1041667LL);
    counters();

    // The tracker's measurement time, and frames measured every `every` counts
    // of periodNs, arriving 0.1 ms and up to jitterNs after it.
    double measured = static_cast<double>(t3) + 2e9;
    auto frames = [&](int count, uint32_t every, double periodNs, int64_t jitterNs) {
        for (int i = 0; i < count; ++i) {
            n += every;
            measured += every * periodNs;
            stamp(n, static_cast<int64_t>(measured) + 100000 + jitter(jitterNs));
        }
        counters();
    };
    const double p240 = 4166667.0 * (1.0 + 50e-6); // 50 ppm slow
    period(0);                                     // no rate known: the first block shows it
    reset();
    frames(2400, 8, p240, 1000000); // 80 s, every eighth frame: 266 blocks
    n += 2400;                      // ten seconds of counts in no time
    frames(240, 1, p240, 300000);
    period(8333333); // 120 Hz, announced (twice), seen as late frames
    period(8333333);
    frames(300, 1, 2 * p240, 200000);
    measured += 1500000; // measured 1.5 ms later than the count says
    frames(150, 1, 2 * p240, 200000);
}

bool Write(const std::string& path, void (*fill)(std::ostream&), const char* header)
{
    std::ostringstream text;
    text << header;
    fill(text);
    // Rewritten only when it changes, so nothing downstream is rebuilt for nothing.
    std::ifstream old(path, std::ios::binary);
    std::stringstream was;
    was << old.rdbuf();
    if (old && was.str() == text.str())
        return true;
    std::ofstream out(path, std::ios::binary);
    out << text.str();
    return static_cast<bool>(out);
}

// The typed Get and Set of every record an item carries.
void Accessors(std::ostream& o)
{
    size_t count = 0;
    const sxitems::Item* items = sxitems::AllItems(count);
    std::set<std::string> types;
    for (size_t i = 0; i < count; ++i)
        if (items[i].record != RecordKind::None)
            types.insert(CsType(sxitems::Record(items[i].record).payload));
    o << "public sealed unsafe partial class Tracker\n{\n";
    for (const std::string& t : types) {
        o << "    /// <summary>Reads an item that carries a " << t << " (at the unit, or the sensor or source\n"
          << "    /// named; arg2 as the item says).</summary>\n"
          << "    public void Get(Item item, out " << t
          << " value, int? sensor = null, int? source = null, int arg2 = 0)\n"
          << "    {\n        value = default(" << t << ");\n        fixed (" << t << "* p = &value)\n"
          << "            Exchange(item, CmdAction.CMD_ACTION_GET, p, typeof(" << t
          << "), sensor, source, arg2);\n    }\n"
          << "    /// <summary>Writes an item that carries a " << t
          << " (a sensor item without a sensor: every sensor).</summary>\n"
          << "    public void Set(Item item, " << t << " value, int? sensor = null, int? source = null, int arg2 = 0)\n"
          << "    {\n        Exchange(item, CmdAction.CMD_ACTION_SET, &value, typeof(" << t
          << "), sensor, source, arg2);\n    }\n";
    }
    o << "}\n\n";
}

void UsbIds(std::ostream& o)
{
    const std::pair<const char*, unsigned> ids[] = {
        {"VID_MAKER", VID_MAKER}, {"PID_SORIX", PID_SORIX}, {"PID_Q7_HUB", PID_Q7_HUB}, {"PID_Q7_TAG", PID_Q7_TAG}};
    o << "/// <summary>The USB identifiers of the trackers.</summary>\npublic static class UsbIds\n{\n";
    for (const auto& id : ids) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%04X", id.second);
        o << "    public const ushort " << id.first << " = " << hex << ";\n";
    }
    o << "}\n\n";
}

void Tables(std::ostream& o)
{
    o << "// Generated by GenTables from the applications' shared item table (common/items).\n"
      << "// Do not edit.\nusing System;\n\nnamespace SXCmdIF\n{\n";
    Vocabularies(o);
    Items(o);
    Accessors(o);
    UsbIds(o);
    ErrorHelp(o);
    o << "}\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: GenTables OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = Write(dir + "/Tables.g.cs", Tables, "") && Write(dir + "/Layouts.g.cs", Layouts, "") &&
                    Write(dir + "/pno_lines.txt", PnoLines, "") && Write(dir + "/clock_vectors.txt", ClockVectors, "");
    if (!ok) {
        std::fprintf(stderr, "GenTables: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
