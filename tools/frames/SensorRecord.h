// A sensor's record in a P&O frame as one record type, whichever form the
// frame carries (with accelerations or without: its mode says which).
#pragma once

#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/pno/SXsnsFrameA.h>

namespace sxframes {

inline CSXSnsFrameA SensorRecord(const CSXSeuPno& pno, int index)
{
    CSXSnsFrameA rec;
    if (pno.Mode() != 0)
        rec.Fill(pno.SensFrameA(index));
    else
        rec.Fill(pno.SensFrame(index));
    return rec;
}

} // namespace sxframes
