// CSXSnsFrameA: one sensor record of a P&O frame in floating point.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/pno/SXpnoRecords.h>

class SXCMDIF_API CSXSnsFrameA {
public:
    CSXSnsFrameA(const _SENFRAMEDATA_A* rec = nullptr);

    // All fields zero.
    void Init();
    // Converts an acceleration record: orientation by the orientation units'
    // full scale, acceleration by 16. Null gives Init().
    void Fill(const _SENFRAMEDATA_A* rec);
    // Takes a plain record as it is into sfinfo, pos and ori; accel is kept.
    // Null gives Init().
    void Fill(const _SENFRAMEDATA* rec);

    // Orientation units (sfinfo bits 10 to 11) are the quaternion.
    bool Qtrn() const;
    // Orientation values the record carries: 4 for a quaternion, else 3.
    int NumTerms() const;
    // Full-scale factor of the record's orientation units; units 3, which
    // name no unit, take the degrees factor (and convert three terms).
    float OriFactor() const;

    // ori[i] (accel[i]) = fraction i / 32768 * factor, for the first count
    // values (at most 4).
    void ConvertOri(const short* fract, int count, float factor);
    void ConvertAccel(const short* fract, int count, float factor);

    // The first four fields are laid out as a plain record.
    operator _SENFRAMEDATA*() { return reinterpret_cast<_SENFRAMEDATA*>(this); }
    operator const _SENFRAMEDATA*() const { return reinterpret_cast<const _SENFRAMEDATA*>(this); }

    // Full scale by orientation units: degrees, radians, quaternion.
    static const float OriFractFactor[3];
    static constexpr float AccelFullScale = 16.0f;

    unsigned int sfinfo;
    float pos[3];
    float ori[4];
    float accel[4];
};
