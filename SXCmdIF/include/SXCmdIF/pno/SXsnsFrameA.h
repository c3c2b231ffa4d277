/** \file
 * CSXSnsFrameA: one sensor record of a P&O frame in floating point.
 * \ingroup sx_pno_decoding */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/pno/SXpnoRecords.h>

/** \addtogroup sx_pno_decoding
 * @{ */

/** One sensor record of a P&O frame in floating point, from either record
 * format. An object belongs to one thread at a time; the static members may
 * be read from any thread. */
class SXCMDIF_API CSXSnsFrameA {
public:
    /** Converts an acceleration record (Fill()); all zero without one.
     * \param rec the record, or null */
    CSXSnsFrameA(const _SENFRAMEDATA_A* rec = nullptr);

    /** All fields zero. */
    void Init();
    /** Converts an acceleration record: orientation by the orientation units' full scale, acceleration by 16.
     * Null gives Init().
     * \param rec the record, or null */
    void Fill(const _SENFRAMEDATA_A* rec);
    /** Takes a plain record as it is into sfinfo, pos and ori; accel is kept. Null gives Init().
     * \param rec the record, or null */
    void Fill(const _SENFRAMEDATA* rec);

    /** Whether the orientation units (sfinfo bits 10 to 11) are the quaternion.
     * \returns true when they are */
    bool Qtrn() const;
    /** The orientation values the record carries.
     * \returns 4 for a quaternion, else 3 */
    int NumTerms() const;
    /** The full-scale factor of the record's orientation units; units 3, which name no unit, take the degrees
     * factor (and convert three terms).
     * \returns the factor (`OriFractFactor`) */
    float OriFactor() const;

    /** ori[i] = fract[i] / 32768 * factor, for the first count values (at most 4).
     * \param fract the fixed-point fractions
     * \param count how many
     * \param factor the full scale */
    void ConvertOri(const short* fract, int count, float factor);
    /** accel[i] = fract[i] / 32768 * factor, for the first count values (at most 4).
     * \param fract the fixed-point fractions
     * \param count how many
     * \param factor the full scale */
    void ConvertAccel(const short* fract, int count, float factor);

    /** The first four fields, laid out as a plain record.
     * \returns the object's address as a plain record */
    ///@{
    operator _SENFRAMEDATA*() { return reinterpret_cast<_SENFRAMEDATA*>(this); }
    operator const _SENFRAMEDATA*() const { return reinterpret_cast<const _SENFRAMEDATA*>(this); }
    ///@}

    /** Full scale by orientation units: degrees (180), radians (pi), quaternion (1). */
    static const float OriFractFactor[3];
    /** Full scale of the acceleration. */
    static constexpr float AccelFullScale = 16.0f;

    /** As in the record. */
    unsigned int sfinfo;
    /** x, y, z in the position units. */
    float pos[3];
    /** The orientation: three Euler angles, or a quaternion. */
    float ori[4];
    /** Acceleration X, Y, Z, R. */
    float accel[4];
};

/** @} */
