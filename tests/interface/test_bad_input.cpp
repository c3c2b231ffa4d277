// Bad input through every exported function of libSXCmdIF, from one table:
// null, stale and foreign context handles; null, stale and foreign device
// handles; and, on a connected device, null out-parameters, lengths too
// large or too small, sensors and actions out of range. Each call returns
// its documented code and changes nothing: the caller's records keep their
// bytes and the device goes on working.
//
// The table must name every sx* function the library exports: the list
// the linker made (nm of libSXCmdIF.so, written at build time) is compared
// with it, so a new export without a row fails here.
#include <SXCmdIF/SXCmdIF.h>

#include "testsupport/SimLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// Caller-side memory handed to every call: records, out-pointers and
// lengths, all filled with one pattern so that any write shows.
struct Scratch {
    static constexpr unsigned char kFill = 0xA5;
    alignas(16) unsigned char rec[8192];
    const char* text;
    const wchar_t* wtext;
    void* ptr;
    int i1, i2, i3, i4, i5;
    unsigned u1;
    _sxFrameInfo frame;
    unsigned char* buf;

    Scratch() { Reset(); }
    void Reset()
    {
        std::memset(static_cast<void*>(this), kFill, sizeof *this);
        buf = rec;
    }
    bool Untouched() const
    {
        // buf points at the scratch's own rec.
        if (buf != rec)
            return false;
        Scratch fresh;
        Scratch copy = *this;
        copy.buf = fresh.buf;
        return std::memcmp(&copy, &fresh, sizeof copy) == 0;
    }
    // Everything but the frame record (which the queue readers empty after
    // a failure, as documented).
    bool UntouchedButFrame() const
    {
        if (buf != rec)
            return false;
        Scratch fresh;
        Scratch copy = *this;
        copy.buf = fresh.buf;
        std::memset(&copy.frame, kFill, sizeof copy.frame);
        return std::memcmp(&copy, &fresh, sizeof copy) == 0;
    }
};

enum Kind {
    kCtx, // takes a context handle only
    kDev, // takes a context and a device handle
};

struct Row {
    const char* name;
    Kind kind;
    std::function<int(void* ctx, void* dev, Scratch& s)> call;
    // After an unknown device the out record is emptied (queue readers).
    bool emptiesFrame = false;
    // Sends nothing and needs no device: returns this code for a live context.
    int liveCtxCode = -1;
    // After an unknown device the (empty) report text is handed back.
    bool handsBackText = false;
};

#define A(x) static_cast<eCmdActions>(x)
#define P(T) reinterpret_cast<T*>(s.rec)

const std::vector<Row>& Table()
{
    static const std::vector<Row> rows = {
        // ---- connection and registry
        {"sxctx_connectusb", kCtx, [](void* c, void*, Scratch& s) { return sxctx_connectusb(c, s.ptr, 0x7FFF); }},
        {"sxctx_connectusbtag", kCtx,
         [](void* c, void*, Scratch& s) { return sxctx_connectusbtag(c, s.ptr, 0x7FFF, 3); }},
        {"sxctx_connectusb_q7p", kCtx, [](void* c, void*, Scratch& s) { return sxctx_connectusb_q7p(c, s.ptr, 0); }},
        {"sxctx_connectser", kCtx, [](void* c, void*, Scratch& s) { return sxctx_connectser(c, s.ptr, 999, 0); }},
        {"sxctx_dev_count", kCtx, [](void* c, void*, Scratch& s) { return sxctx_dev_count(c, &s.i1); }},
        {"sxctx_dev_release", kDev, [](void* c, void* d, Scratch&) { return sxctx_dev_release(c, d); }},
        {"sxctx_dev_report", kCtx, [](void* c, void*, Scratch& s) { return sxctx_dev_report(c, &s.text); }},
        {"sxctx_dev_reportW", kCtx, [](void* c, void*, Scratch& s) { return sxctx_dev_reportW(c, &s.wtext); }},
        {"sxdev_info", kDev, [](void* c, void* d, Scratch& s) { return sxdev_info(c, d, &s.ptr, &s.i1); }},
        {"sxdev_report", kDev, [](void* c, void* d, Scratch& s) { return sxdev_report(c, d, &s.text); }, false, -1,
         true},
        {"sxdev_reportW", kDev, [](void* c, void* d, Scratch& s) { return sxdev_reportW(c, d, &s.wtext); }, false,
         -1, true},
        {"sxdev_timeoutms", kDev, [](void* c, void* d, Scratch&) { return sxdev_timeoutms(c, d, 0, 70); }},
        {"sxdev_trace", kDev, [](void* c, void* d, Scratch&) { return sxdev_trace(c, d, 0); }},
        {"sxdev_tsenable", kDev, [](void* c, void* d, Scratch&) { return sxdev_tsenable(c, d, true); }},
        // ---- device-level commands
        {"sxcmd_dev_bit", kDev, [](void* c, void* d, Scratch& s) { return sxcmd_dev_bit(c, d, P(_BIT_STRUCT)); }},
        {"sxcmd_dev_contpno", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_contpno(c, d, CMD_ACTION_RESET, &s.i1, 0); }},
        {"sxcmd_dev_dualoutput", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_dualoutput(c, d, A(1), P(_BINARY_CONFIG)); }},
        {"sxcmd_dev_framerate", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_framerate(c, d, A(1), P(_FRAMERATE_CONFIG)); }},
        {"sxcmd_dev_id", kDev, [](void* c, void* d, Scratch& s) { return sxcmd_dev_id(c, d, A(1), P(_SEUID_CONFIG)); }},
        {"sxcmd_dev_oormode", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_oormode(c, d, A(1), P(_BINARY_CONFIG)); }},
        {"sxcmd_dev_persist", kDev, [](void* c, void* d, Scratch&) { return sxcmd_dev_persist(c, d); }},
        {"sxcmd_dev_reset_framecount", kDev,
         [](void* c, void* d, Scratch&) { return sxcmd_dev_reset_framecount(c, d); }},
        {"sxcmd_dev_resetblockcfg", kDev, [](void* c, void* d, Scratch&) { return sxcmd_dev_resetblockcfg(c, d); }},
        {"sxcmd_dev_selfcalsave", kDev, [](void* c, void* d, Scratch&) { return sxcmd_dev_selfcalsave(c, d, A(0)); }},
        {"sxcmd_dev_selfcalstate", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_selfcalstate(c, d, A(1), P(_SELFCAL_CONFIG)); }},
        {"sxcmd_dev_serialif", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_serialif(c, d, A(1), P(_SERIAL_CONFIG)); }},
        {"sxcmd_dev_sourcecfg", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_sourcecfg(c, d, 0, A(1), P(_SRC_CONFIG)); }},
        {"sxcmd_dev_sourcerot", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_sourcerot(c, d, 0, A(1), P(_SRCROT_CONFIG)); }},
        {"sxcmd_dev_sourcewhoami", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_sourcewhoami(c, d, 0, P(_WHOAMI_STRUCT)); }},
        {"sxcmd_dev_stationmap", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_stationmap(c, d, P(_STATION_MAP)); }},
        {"sxcmd_dev_stylusmode", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_stylusmode(c, d, A(1), P(_STYLUS_CONFIG)); }},
        {"sxcmd_dev_syncmode", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_syncmode(c, d, A(1), P(_BINARY_CONFIG)); }},
        {"sxcmd_dev_units", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_units(c, d, A(1), P(_UNITS_CONFIG)); }},
        {"sxcmd_dev_whoami", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_whoami(c, d, P(_WHOAMI_STRUCT)); }},
        {"sxcmd_dev_generic", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_generic(c, d, 1, CMD_UNITS, s.rec, 8, 0, 0); }},
        {"sxcmd_dev_generic1", kDev,
         [](void* c, void* d, Scratch& s) {
             s.i1 = 1, s.i2 = 1, s.i3 = CMD_UNITS, s.i4 = 0, s.i5 = 0, s.u1 = 64;
             Scratch fresh;
             int r = sxcmd_dev_generic1(c, d, &s.i1, &s.i2, &s.i3, &s.i4, &s.i5, &s.u1, s.rec);
             // Only the request words were written by the caller here.
             if (r != 0)
                 s.i1 = fresh.i1, s.i2 = fresh.i2, s.i3 = fresh.i3, s.i4 = fresh.i4, s.i5 = fresh.i5,
                 s.u1 = fresh.u1;
             return r;
         }},
        // ---- sensor-level commands
        {"sxcmd_sns_boresight", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_boresight(c, d, 0, A(1), P(_BORESIGHT_CONFIG), 0); }},
        {"sxcmd_sns_filter", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_filter(c, d, 0, A(1), P(_FILTER_CONFIG), 0); }},
        {"sxcmd_sns_fttmode", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_fttmode(c, d, 0, A(1), P(_ENUM_CONFIG)); }},
        {"sxcmd_sns_hemisphere", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_hemisphere(c, d, 0, A(1), P(_HEMISPHERE_CONFIG)); }},
        {"sxcmd_sns_increment", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_increment(c, d, 0, A(1), P(_INCREMENT_CONFIG)); }},
        {"sxcmd_sns_origin", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_origin(c, d, 0, A(1), P(_ENUM_CONFIG)); }},
        {"sxcmd_sns_predfilter", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_predfilter(c, d, 0, A(1), P(_PF_CONFIG)); }},
        {"sxcmd_sns_predfilterext", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_predfilterext(c, d, 0, A(1), P(_PF_CONFIG_EXT)); }},
        {"sxcmd_sns_srcselect", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_srcselect(c, d, 0, A(1), P(_SRC_SEL_CONFIG)); }},
        {"sxcmd_sns_tipoffset", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_tipoffset(c, d, 0, A(1), P(_TIP_OFFSET_CONFIG)); }},
        {"sxcmd_sns_virtual", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_virtual(c, d, 0, A(1), P(_VIRTUAL_SNS_CONFIG)); }},
        {"sxcmd_sns_whoami", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_whoami(c, d, 0, P(_WHOAMI_STRUCT)); }},
        {"sxcmd_sns_generic", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_generic(c, d, 0, 1, CMD_FILTER, s.rec, 0, 0); }},
        {"sxcmd_sns_led", kDev, [](void* c, void* d, Scratch& s) { return sxcmd_sns_led(c, d, 0, A(1), P(_BIT_STRUCT)); }},
        {"sxcmd_sns_ftthome", kDev,
         [](void* c, void* d, Scratch& s) {
             return sxcmd_sns_ftthome(c, d, 0, A(1), P(_PNO), static_cast<eFTTHomeMethod>(0));
         },
         false, E_SXERR_NOT_IMPLEMENTED},
        // ---- P&O access
        {"sxcmd_dev_singlepno", kDev, [](void* c, void* d, Scratch& s) { return sxcmd_dev_singlepno(c, d, s.frame, 0); }},
        {"sxcmd_dev_singlepno_q7p", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_singlepno_q7p(c, d, s.frame); }},
        {"sxctx_dev_fifopnof", kDev, [](void* c, void* d, Scratch& s) { return sxctx_dev_fifopnof(c, d, &s.frame); },
         true},
        {"sxctx_dev_fifopnofraw", kDev,
         [](void* c, void* d, Scratch& s) { return sxctx_dev_fifopnofraw(c, d, &s.frame); }, true},
        {"sxctx_dev_lastpnof", kDev, [](void* c, void* d, Scratch& s) { return sxctx_dev_lastpnof(c, d, &s.frame); },
         true},
        {"sxctx_dev_lastpnofraw", kDev,
         [](void* c, void* d, Scratch& s) { return sxctx_dev_lastpnofraw(c, d, &s.frame); }, true},
        {"sxctx_dev_fifo_readrawbuf", kDev,
         [](void* c, void* d, Scratch& s) {
             unsigned frames = 4;
             int length = static_cast<int>(sizeof s.rec);
             return sxctx_dev_fifo_readrawbuf(c, d, &frames, &s.buf, &length);
         }},
        {"sxctx_dev_fifo_unread_count", kDev,
         [](void* c, void* d, Scratch& s) { return sxctx_dev_fifo_unread_count(c, d, &s.u1, &s.i1); }},
        {"sxctx_dev_resetpnocounters", kDev,
         [](void* c, void* d, Scratch&) { return sxctx_dev_resetpnocounters(c, d); }},
        {"sxdev_SetPnoCallback", kDev,
         [](void* c, void* d, Scratch& s) { return sxdev_SetPnoCallback(c, d, nullptr, &s); }},
        {"sxdev_pnofrmerr_allow", kDev, [](void* c, void* d, Scratch&) { return sxdev_pnofrmerr_allow(c, d, true); }},
        {"sxdev_pnovalidate_sensor", kDev,
         [](void* c, void* d, Scratch&) { return sxdev_pnovalidate_sensor(c, d, false); }},
        {"sxdev_pnousb_buffer", kDev, [](void* c, void* d, Scratch&) { return sxdev_pnousb_buffer(c, d, 8); }},
        // ---- reports
        {"sxcmd_dev_bit_report", kDev, [](void* c, void* d, Scratch& s) { return sxcmd_dev_bit_report(c, d, &s.text); }},
        {"sxcmd_dev_bit_reportW", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_bit_reportW(c, d, &s.wtext); }},
        {"sxcmd_dev_whoami_report", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_whoami_report(c, d, &s.text); }},
        {"sxcmd_dev_whoami_reportW", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_whoami_reportW(c, d, &s.wtext); }},
        {"sxcmd_dev_sourcewhoami_report", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_sourcewhoami_report(c, d, 0, &s.text); }},
        {"sxcmd_dev_sourcewhoami_reportW", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_dev_sourcewhoami_reportW(c, d, 0, &s.wtext); }},
        {"sxcmd_sns_whoami_report", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_whoami_report(c, d, 0, &s.text); }},
        {"sxcmd_sns_whoami_reportW", kDev,
         [](void* c, void* d, Scratch& s) { return sxcmd_sns_whoami_reportW(c, d, 0, &s.wtext); }},
        // ---- library and context
        {"sxctx_trace", kCtx, [](void* c, void*, Scratch&) { return sxctx_trace(c, 0); }},
        {"sxctx_setuthcmdstr", kCtx,
         [](void* c, void*, Scratch&) {
             return sxctx_setuthcmdstr(c, [](unsigned) -> const char* { return "X"; });
         }},
        {"sxctx_clearuthcmdstr", kCtx, [](void* c, void*, Scratch&) { return sxctx_clearuthcmdstr(c); }},
        {"sxcmdif_release", kCtx, [](void* c, void*, Scratch&) { return sxcmdif_release(c); }},
    };
    return rows;
}

// Exports that take no handle: they are called with their worst arguments
// in NoHandleFunctions below.
const std::set<std::string> kNoHandle = {
    "sxcmdif_init",   "sxcmdif_version",  "sxcmdif_versionW",  "sxcmdif_date",         "sxcmdif_dateW",
    "sxcmdif_time",   "sxcmdif_timeW",    "sxcmdif_datetime",  "sxcmdif_datetimeW",    "sxcmdif_trace",
    "sxcmdif_stdout", "sxcmdif_errorStr", "sxcmdif_errorStrW", "sxcmdif_set_trace_cb",
};

// The sx* names libSXCmdIF exports, plain or decorated (without their
// parameter lists).
std::set<std::string> ExportedNames()
{
    std::set<std::string> names;
    std::ifstream in(SX_EXPORTS_LIST);
    std::string line;
    while (std::getline(in, line)) {
        // "<address> T <name>" with the name demangled.
        const size_t t = line.find(" T ");
        if (t == std::string::npos)
            continue;
        std::string name = line.substr(t + 3);
        name = name.substr(0, name.find('('));
        if (name.rfind("sx", 0) == 0)
            names.insert(name);
    }
    return names;
}

TEST(BadInputTable, NamesEveryExport)
{
    const std::set<std::string> exported = ExportedNames();
    ASSERT_GT(exported.size(), 60u) << "no export list at " << SX_EXPORTS_LIST;
    std::set<std::string> rows(kNoHandle);
    for (const Row& r : Table())
        EXPECT_TRUE(rows.insert(r.name).second) << r.name << " has two rows";
    for (const std::string& name : exported)
        EXPECT_TRUE(rows.count(name)) << name << " is exported but has no row in the bad-input table";
    for (const std::string& name : rows)
        EXPECT_TRUE(exported.count(name)) << name << " has a row but is not exported";
}

class BadInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_sims = sxfault::StartSerial(1);
        ASSERT_EQ(m_sims.size(), 1u);
        ASSERT_EQ(sxcmdif_init(&m_ctx), 0);
        ASSERT_EQ(sxcmdif_init(&m_other), 0);
        ASSERT_EQ(sxctx_connectser(m_ctx, m_dev, 1, 0), 0);
        // Room for a loaded machine (sanitizer runs in parallel).
        ASSERT_EQ(sxdev_timeoutms(m_ctx, m_dev, 0, 500), 0);
    }
    void TearDown() override
    {
        if (m_ctx)
            sxcmdif_release(m_ctx);
        if (m_other)
            sxcmdif_release(m_other);
    }
    // The device still answers, with its settings as they were.
    void ExpectDeviceWorks(const char* after)
    {
        _UNITS_CONFIG units{};
        EXPECT_EQ(sxcmd_dev_units(m_ctx, m_dev, CMD_ACTION_GET, &units), 0) << "after " << after;
        int count = -1;
        EXPECT_EQ(sxctx_dev_count(m_ctx, &count), 0);
        EXPECT_EQ(count, 1) << "after " << after;
    }

    std::vector<std::unique_ptr<sxsim::SerialSim>> m_sims;
    void* m_ctx = nullptr;
    void* m_other = nullptr;
    void* m_dev = nullptr;
};

TEST_F(BadInput, ContextHandles)
{
    void* stale = nullptr;
    ASSERT_EQ(sxcmdif_init(&stale), 0);
    ASSERT_EQ(sxcmdif_release(stale), 0);
    int local = 0;
    void* foreign[] = {nullptr, stale, &local, m_dev, reinterpret_cast<void*>(uintptr_t(1))};
    for (const Row& r : Table()) {
        for (void* bad : foreign) {
            if (bad == stale && stale == m_ctx)
                continue; // the allocator gave the stale address back
            Scratch s;
            EXPECT_EQ(r.call(bad, m_dev, s), E_SXERR_INVALID_CONTEXT) << r.name << " with context " << bad;
            EXPECT_TRUE(s.Untouched()) << r.name << " wrote through its arguments with context " << bad;
        }
    }
    ExpectDeviceWorks("context handles");
}

TEST_F(BadInput, DeviceHandles)
{
    // A device of another context, one released, and addresses that never
    // were devices.
    auto sims2 = sxfault::StartSerial(2);
    ASSERT_EQ(sims2.size(), 2u);
    void* otherDev = nullptr;
    ASSERT_EQ(sxctx_connectser(m_other, otherDev, 2, 0), 0);
    void* staleDev = nullptr;
    ASSERT_EQ(sxctx_connectser(m_ctx, staleDev, 1, 0), 0);
    ASSERT_EQ(sxctx_dev_release(m_ctx, staleDev), 0);
    // Port 1 is now served by sims2[0]; m_dev stays on the first unit.
    int local = 0;
    void* foreign[] = {nullptr, otherDev, staleDev, &local, m_ctx};
    for (const Row& r : Table()) {
        if (r.kind != kDev)
            continue;
        for (void* bad : foreign) {
            if (bad == staleDev && (staleDev == m_dev || staleDev == otherDev))
                continue;
            Scratch s;
            const int expected = r.liveCtxCode >= 0 ? r.liveCtxCode : E_CTXERR_INVALID_DEVHND;
            EXPECT_EQ(r.call(m_ctx, bad, s), expected) << r.name << " with device " << bad;
            if (r.handsBackText) {
                Scratch fresh;
                if (s.text != fresh.text) {
                    EXPECT_STREQ(s.text, "") << r.name;
                    s.text = fresh.text;
                }
                if (s.wtext != fresh.wtext) {
                    EXPECT_STREQ(s.wtext, L"") << r.name;
                    s.wtext = fresh.wtext;
                }
                EXPECT_TRUE(s.Untouched()) << r.name;
            } else if (r.emptiesFrame) {
                EXPECT_TRUE(s.UntouchedButFrame()) << r.name;
                EXPECT_EQ(s.frame.pFrame, nullptr) << r.name;
                EXPECT_EQ(s.frame.frameLen, 0u) << r.name;
            } else {
                EXPECT_TRUE(s.Untouched()) << r.name << " wrote through its arguments with device " << bad;
            }
        }
    }
    int count = -1;
    EXPECT_EQ(sxctx_dev_count(m_other, &count), 0);
    EXPECT_EQ(count, 1);
    ExpectDeviceWorks("device handles");
}

// What a C caller does where C++ takes a reference: passes a pointer, here a
// null one (the same at the binary level; binding a null reference in C++
// itself would be undefined).
template <class F, class G>
F AsC(G fn)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(fn));
}

TEST_F(BadInput, NullOutParameters)
{
    void* dev = m_dev;
    void* c = m_ctx;
    struct Case {
        const char* what;
        std::function<int()> call;
    };
    const Case cases[] = {
        {"sxctx_connectser dev",
         [&] { return AsC<int (*)(void*, void**, int, int)>(&sxctx_connectser)(c, nullptr, 1, 0); }},
        {"sxctx_connectusb dev",
         [&] { return AsC<int (*)(void*, void**, uint16_t)>(&sxctx_connectusb)(c, nullptr, 0x7FFF); }},
        {"sxctx_connectusbtag dev",
         [&] { return AsC<int (*)(void*, void**, uint16_t, uint32_t)>(&sxctx_connectusbtag)(c, nullptr, 0x7FFF, 1); }},
        {"sxctx_connectusb_q7p dev",
         [&] { return AsC<int (*)(void*, void**, uint16_t)>(&sxctx_connectusb_q7p)(c, nullptr, 0); }},
        {"sxctx_dev_count", [&] { return sxctx_dev_count(c, nullptr); }},
        {"sxctx_dev_report", [&] { return sxctx_dev_report(c, nullptr); }},
        {"sxctx_dev_reportW", [&] { return sxctx_dev_reportW(c, nullptr); }},
        {"sxdev_info identity",
         [&] {
             int s;
             return sxdev_info(c, dev, nullptr, &s);
         }},
        {"sxdev_info seuid",
         [&] {
             void* p;
             return sxdev_info(c, dev, &p, nullptr);
         }},
        {"sxdev_report", [&] { return sxdev_report(c, dev, nullptr); }},
        {"sxdev_reportW", [&] { return sxdev_reportW(c, dev, nullptr); }},
        {"sxcmd_dev_units payload", [&] { return sxcmd_dev_units(c, dev, CMD_ACTION_GET, nullptr); }},
        {"sxcmd_dev_whoami payload", [&] { return sxcmd_dev_whoami(c, dev, nullptr); }},
        {"sxcmd_dev_bit payload", [&] { return sxcmd_dev_bit(c, dev, nullptr); }},
        {"sxcmd_sns_filter payload", [&] { return sxcmd_sns_filter(c, dev, 0, CMD_ACTION_SET, nullptr, 0); }},
        {"sxcmd_dev_generic payload", [&] { return sxcmd_dev_generic(c, dev, 0, CMD_UNITS, nullptr, 8, 0, 0); }},
        {"sxcmd_sns_generic payload", [&] { return sxcmd_sns_generic(c, dev, 0, 0, CMD_FILTER, nullptr, 24, 0); }},
        {"sxcmd_dev_generic1 seuid",
         [&] {
             int a = 1, k = CMD_UNITS, a1 = 0, a2 = 0;
             unsigned l = 64;
             unsigned char b[64];
             return sxcmd_dev_generic1(c, dev, nullptr, &a, &k, &a1, &a2, &l, b);
         }},
        {"sxcmd_dev_generic1 length",
         [&] {
             int u = 1, a = 1, k = CMD_UNITS, a1 = 0, a2 = 0;
             unsigned char b[64];
             return sxcmd_dev_generic1(c, dev, &u, &a, &k, &a1, &a2, nullptr, b);
         }},
        {"sxcmd_dev_singlepno out",
         [&] { return AsC<int (*)(void*, void*, _sxFrameInfo*, int)>(&sxcmd_dev_singlepno)(c, dev, nullptr, 0); }},
        {"sxcmd_dev_singlepno_q7p out",
         [&] { return AsC<int (*)(void*, void*, _sxFrameInfo*)>(&sxcmd_dev_singlepno_q7p)(c, dev, nullptr); }},
        {"sxctx_dev_fifopnof", [&] { return sxctx_dev_fifopnof(c, dev, nullptr); }},
        {"sxctx_dev_fifopnofraw", [&] { return sxctx_dev_fifopnofraw(c, dev, nullptr); }},
        {"sxctx_dev_lastpnof", [&] { return sxctx_dev_lastpnof(c, dev, nullptr); }},
        {"sxctx_dev_lastpnofraw", [&] { return sxctx_dev_lastpnofraw(c, dev, nullptr); }},
        {"sxctx_dev_fifo_unread_count frames",
         [&] {
             int b;
             return sxctx_dev_fifo_unread_count(c, dev, nullptr, &b);
         }},
        {"sxctx_dev_fifo_unread_count bytes",
         [&] {
             unsigned f;
             return sxctx_dev_fifo_unread_count(c, dev, &f, nullptr);
         }},
        {"sxctx_dev_fifo_readrawbuf buffer",
         [&] {
             unsigned f = 2;
             int l = 100;
             return sxctx_dev_fifo_readrawbuf(c, dev, &f, nullptr, &l);
         }},
        {"sxctx_dev_fifo_readrawbuf *buffer",
         [&] {
             unsigned f = 2;
             int l = 100;
             unsigned char* b = nullptr;
             return sxctx_dev_fifo_readrawbuf(c, dev, &f, &b, &l);
         }},
        {"sxctx_dev_fifo_readrawbuf frames",
         [&] {
             unsigned char x[100];
             unsigned char* b = x;
             int l = 100;
             return sxctx_dev_fifo_readrawbuf(c, dev, nullptr, &b, &l);
         }},
        {"sxctx_dev_fifo_readrawbuf length",
         [&] {
             unsigned char x[100];
             unsigned char* b = x;
             unsigned f = 2;
             return sxctx_dev_fifo_readrawbuf(c, dev, &f, &b, nullptr);
         }},
        {"sxctx_dev_fifo_readrawbuf length 0",
         [&] {
             unsigned char x[100];
             unsigned char* b = x;
             unsigned f = 2;
             int l = 0;
             return sxctx_dev_fifo_readrawbuf(c, dev, &f, &b, &l);
         }},
        {"sxctx_dev_fifo_readrawbuf length -1",
         [&] {
             unsigned char x[100];
             unsigned char* b = x;
             unsigned f = 2;
             int l = -1;
             return sxctx_dev_fifo_readrawbuf(c, dev, &f, &b, &l);
         }},
        {"sxcmd_dev_bit_report", [&] { return sxcmd_dev_bit_report(c, dev, nullptr); }},
        {"sxcmd_dev_whoami_reportW", [&] { return sxcmd_dev_whoami_reportW(c, dev, nullptr); }},
        {"sxcmd_sns_whoami_report", [&] { return sxcmd_sns_whoami_report(c, dev, 0, nullptr); }},
        {"sxcmd_dev_sourcewhoami_reportW", [&] { return sxcmd_dev_sourcewhoami_reportW(c, dev, 0, nullptr); }},
        {"sxctx_setuthcmdstr fn", [&] { return sxctx_setuthcmdstr(c, nullptr); }},
        {"sxcmdif_init", [&] { return sxcmdif_init(nullptr); }},
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.call(), E_SXERR_INVALID_PARAMS) << k.what;
    ExpectDeviceWorks("null out-parameters");
}

TEST_F(BadInput, LengthsSensorsAndActions)
{
    void* dev = m_dev;
    void* c = m_ctx;
    static unsigned char big[70000];
    _FILTER_CONFIG filter{};
    _UNITS_CONFIG units{};
    _WHOAMI_STRUCT who{};
    struct Case {
        const char* what;
        int expected;
        std::function<int()> call;
    };
    const Case cases[] = {
        // Sensors 0 to 16; negative only without GET.
        {"filter sensor 17", E_SXERR_INVALID_SENSOR,
         [&] { return sxcmd_sns_filter(c, dev, 17, CMD_ACTION_GET, &filter, 0); }},
        {"filter sensor 1000", E_SXERR_INVALID_SENSOR,
         [&] { return sxcmd_sns_filter(c, dev, 1000, CMD_ACTION_GET, &filter, 0); }},
        {"filter sensor -1 GET", E_SXERR_INVALID_SENSOR_ACT,
         [&] { return sxcmd_sns_filter(c, dev, -1, CMD_ACTION_GET, &filter, 0); }},
        {"whoami sensor 99", E_SXERR_INVALID_SENSOR, [&] { return sxcmd_sns_whoami(c, dev, 99, &who); }},
        {"generic sensor 17", E_SXERR_INVALID_SENSOR,
         [&] { return sxcmd_sns_generic(c, dev, 17, 1, CMD_FILTER, &filter, sizeof filter, 0); }},
        {"whoami report sensor 17", E_SXERR_INVALID_SENSOR,
         [&] {
             const char* t;
             return sxcmd_sns_whoami_report(c, dev, 17, &t);
         }},
        // Actions outside the command's list, and responses as requests.
        {"units action 6", E_SXERR_INVALID_ACTION,
         [&] { return sxcmd_dev_units(c, dev, static_cast<eCmdActions>(6), &units); }},
        {"units action -1", E_SXERR_INVALID_ACTION,
         [&] { return sxcmd_dev_units(c, dev, static_cast<eCmdActions>(-1), &units); }},
        {"units action 1000", E_SXERR_INVALID_ACTION,
         [&] { return sxcmd_dev_units(c, dev, static_cast<eCmdActions>(1000), &units); }},
        {"units action ACK", E_SXERR_INVALID_ACTION, [&] { return sxcmd_dev_units(c, dev, CMD_ACTION_ACK, &units); }},
        {"filter action NAK", E_SXERR_INVALID_ACTION,
         [&] { return sxcmd_sns_filter(c, dev, 0, CMD_ACTION_NAK, &filter, 0); }},
        // The generic commands send without the catalogue checks (the
        // tracker refuses what it does not know), but never more than the
        // transmit buffer holds.
        {"generic units length 4", E_SXERR_NAK_RESP,
         [&] { return sxcmd_dev_generic(c, dev, 0, CMD_UNITS, &units, 4, 0, 0); }},
        {"generic units length 0", E_SXERR_NAK_RESP,
         [&] { return sxcmd_dev_generic(c, dev, 0, CMD_UNITS, &units, 0, 0, 0); }},
        {"generic units length 70000", E_SXERR_INVALID_PARAMS,
         [&] { return sxcmd_dev_generic(c, dev, 0, CMD_UNITS, big, sizeof big, 0, 0); }},
        {"sns generic filter length 1", E_SXERR_NAK_RESP,
         [&] { return sxcmd_sns_generic(c, dev, 0, 0, CMD_FILTER, &filter, 1, 0); }},
        {"sns generic length 70000", E_SXERR_INVALID_PARAMS,
         [&] { return sxcmd_sns_generic(c, dev, 0, 0, CMD_FILTER, big, sizeof big, 0); }},
        {"generic command 9999", E_SXERR_NAK_RESP,
         [&] { return sxcmd_dev_generic(c, dev, 1, 9999, nullptr, 0, 0, 0); }},
        {"generic action 77", E_SXERR_NAK_RESP,
         [&] { return sxcmd_dev_generic(c, dev, 77, CMD_UNITS, &units, sizeof units, 0, 0); }},
        // Typed commands check the catalogue: a SET without its record.
        {"units SET null", E_SXERR_INVALID_PARAMS, [&] { return sxcmd_dev_units(c, dev, CMD_ACTION_SET, nullptr); }},
    };
    for (const Case& k : cases) {
        const int r = k.call();
        EXPECT_EQ(sxfault::Low(r), k.expected) << k.what << " returned " << r;
    }
    ExpectDeviceWorks("lengths, sensors and actions");
}

TEST_F(BadInput, GenericLengthsOutAndIn)
{
    // sxcmd_dev_generic1 with room for less than the response: the response
    // does not run past the caller's length.
    int seuid = 1, action = CMD_ACTION_GET, command = CMD_WHOAMI, arg1 = 0, arg2 = 0;
    unsigned char room[300];
    std::memset(room, 0x5A, sizeof room);
    unsigned length = 10;
    const int r = sxcmd_dev_generic1(m_ctx, m_dev, &seuid, &action, &command, &arg1, &arg2, &length, room);
    EXPECT_TRUE(sxfault::Documented(r)) << r;
    for (size_t i = 10; i < sizeof room; ++i)
        ASSERT_EQ(room[i], 0x5A) << "written past the caller's length at " << i << " (result " << r << ")";
    // A payload length beyond the transmit buffer is refused before it is
    // copied.
    static unsigned char big[100000];
    length = sizeof big;
    seuid = 1, action = CMD_ACTION_SET, command = CMD_UNITS, arg1 = 0, arg2 = 0;
    const int r2 = sxcmd_dev_generic1(m_ctx, m_dev, &seuid, &action, &command, &arg1, &arg2, &length, big);
    EXPECT_TRUE(sxfault::Documented(r2)) << r2;
    EXPECT_NE(r2, 0);
    ExpectDeviceWorks("generic lengths");
}

TEST(BadInputNoHandle, LibraryFunctions)
{
    // Any value has a text; any trace level is taken.
    for (int v :
         {0, 1, 30, 31, -1, 0x7FFFFFFF, static_cast<int>(0x80000000), 0x000A0012, static_cast<int>(0xFFFF001Du)}) {
        ASSERT_NE(sxcmdif_errorStr(v), nullptr);
        ASSERT_NE(sxcmdif_errorStrW(v), nullptr);
    }
    for (int level : {-5, 0, 7, 8, 1000})
        sxcmdif_trace(level);
    sxcmdif_trace(0);
    EXPECT_NE(sxcmdif_version(), nullptr);
    EXPECT_NE(sxcmdif_versionW(), nullptr);
    EXPECT_NE(sxcmdif_date(), nullptr);
    EXPECT_NE(sxcmdif_dateW(), nullptr);
    EXPECT_NE(sxcmdif_time(), nullptr);
    EXPECT_NE(sxcmdif_timeW(), nullptr);
    EXPECT_NE(sxcmdif_datetime(), nullptr);
    EXPECT_NE(sxcmdif_datetimeW(), nullptr);
    EXPECT_EQ(sxcmdif_stdout(), 0);                            // tracing is off: nothing to do
    sxcmdif_set_trace_cb(nullptr, reinterpret_cast<void*>(1)); // standard output, the argument unused
    EXPECT_EQ(sxcmdif_init(nullptr), E_SXERR_INVALID_PARAMS);
}

} // namespace
