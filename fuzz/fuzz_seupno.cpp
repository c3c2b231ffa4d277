// CSXSeuPno on arbitrary bytes: a raw frame (Extractraw) or the body of a
// single-P&O response (Extractseupno), then every field reader and every
// text and CSV report of what was taken in.
//
// Input: byte 0 picks the entry and the report flags, the rest is the frame.
#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/pno/SXsnsFrameA.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void AllReports(const CSXSeuPno& pno, uint8_t flags)
{
    const bool a = flags & 1, b = flags & 2, c = flags & 4;
    std::string s;
    std::wstring w;
    pno.Report(s, a, b, c);
    pno.Report(s, !a, b, !c);
    CSXSeuPno::Report(pno, s, a, b, c);
    pno.ReportW(w, a, b, c);
    CSXSeuPno::ReportW(pno, w, !a, b, c);
    pno.ReportHdr(s, a, b, c);
    pno.ReportHdr(s, !a, b, c);
    pno.ReportHdrW(w, a, b, c);
    pno.ReportHdrW(w, !a, b, c);
    pno.CSVHeader(s, a, b, c);
    pno.CSVHeaderW(w, a, b, c);
    pno.CSVHeaderEnh(s, a, b, c, !a, !b);
    pno.CSVReport(s, a, b, c);
    pno.CSVReportW(w, a, b, c);
    pno.CSVReportEP(s, a, b, c);
    pno.CSVReportSimplePno(s, a, b);
    pno.CSVReportSimplePnoEP(s, static_cast<int>(flags >> 3) - 4, a, b);
    for (int row = 0; row <= 6; ++row)
        pno.CSVReportEnh(s, a, b, row, c, a, b);

    volatile unsigned sink =
        pno.SensorMap() + pno.FrameNum() + pno.SensorCount() + pno.Mode() + pno.BITerr() + pno.HPreserved1();
    (void)sink;
    for (int i = -1; i <= 17; ++i) {
        _UNITS_CONFIG units{};
        pno.SFUnits(i, &units);
        if (const _SENFRAMEDATA_A* rec = pno.SensFrameA(i)) {
            CSXSnsFrameA f(rec);
            CSXSnsFrameA g;
            g = f;
            g.Fill(pno.SensFrame(i));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t sel = data[0];
    // An exact-size copy, so reading past the input is caught.
    std::vector<uint8_t> bytes(data + 1, data + size);
    const uint8_t* p = bytes.empty() ? nullptr : bytes.data();
    const unsigned n = static_cast<unsigned>(bytes.size());

    CSXSeuPno pno;
    switch (sel & 3) {
    case 0:
        pno.Extractraw(p, n);
        break;
    case 1:
        pno.Extractseupno(p, n);
        break;
    case 2:
        // The unbounded form takes a frame that passed the receive checks:
        // it holds its `size` + 8 bytes.
        if (n >= 24 && Le32(p + 4) <= n - 8)
            pno.Extractraw(p);
        break;
    default:
        // The unbounded body form takes a body holding its records.
        if (n >= 16) {
            const uint32_t count = Le32(p + 12);
            if (count <= 16 && 16 + 32 * count <= n)
                pno.Extractseupno(p);
        }
        break;
    }
    AllReports(pno, sel >> 2);

    if (n >= 24) {
        volatile bool ok = CSXSeuPno::ValidateSensorCount(p, 16) && CSXSeuPno::ValidateSensorIDs(p, n, 0x70);
        (void)ok;
    }
    return 0;
}
