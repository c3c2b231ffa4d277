// A raw P&O frame's body, and a sensor's record in it as one record type,
// whichever form the frame carries (with accelerations or without: its mode
// says which).
#pragma once

#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/pno/SXsnsFrameA.h>
#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <cstdint>

namespace sxframes {

// Takes in a raw frame (preamble to CRC, as the P&O callback gets it) from
// its body on (seuid), so that every device family's preamble will do,
// within both the bytes received and the frame's own size word (which
// counts the CRC after the body). False when not even the header fits.
inline bool ExtractPnoBody(const unsigned char* frame, unsigned length, CSXSeuPno& pno)
{
    if (!frame || length < SX_FRAME_ENVELOPE_LEN)
        return false;
    const uint32_t size = sxwire::GetLE32(frame + SX_OFF_SIZE);
    uint32_t bodyLen = length - SX_FRAME_ENVELOPE_LEN;
    if (size >= SX_CRC_LEN && size - SX_CRC_LEN < bodyLen)
        bodyLen = size - SX_CRC_LEN;
    return pno.Extractseupno(frame + SX_OFF_SEUID, bodyLen) != 0;
}

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
