/** \file
 * Field-source records: configuration (frequency, position, rotation and
 * start-up hemisphere) and rotation alone.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>
#include <SXCmdIF/records/SXunitcfg.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** The rotation accessors of both source records: Euler angles and
 * quaternion terms over the four rotation floats of the record `cfg` of
 * Record. It holds nothing, so the records keep their layout.
 * \tparam Record the record class (CSrcCfg or CSrcRotCfg) */
template <class Record>
class CSrcRotation {
public:
    /** The azimuth (rotation float 0), for reading or writing.
     * \returns a reference to it */
    float& Az() { return Rotation()[0]; }
    /** The elevation (rotation float 1), for reading or writing.
     * \returns a reference to it */
    float& El() { return Rotation()[1]; }
    /** The roll (rotation float 2), for reading or writing.
     * \returns a reference to it */
    float& Ro() { return Rotation()[2]; }
    /** The quaternion's w term (rotation float 0), for reading or writing.
     * \returns a reference to it */
    float& Qw() { return Rotation()[0]; }
    /** The quaternion's x term (rotation float 1), for reading or writing.
     * \returns a reference to it */
    float& Qx() { return Rotation()[1]; }
    /** The quaternion's y term (rotation float 2), for reading or writing.
     * \returns a reference to it */
    float& Qy() { return Rotation()[2]; }
    /** The quaternion's z term (rotation float 3), for reading or writing.
     * \returns a reference to it */
    float& Qz() { return Rotation()[3]; }

private:
    float* Rotation() { return static_cast<Record*>(this)->cfg.rotation; }
};

/** A field source's configuration (`_SRC_CONFIG`) with the units it is read
 * in (not part of the record).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSrcCfg : public CSrcRotation<CSrcCfg> {
public:
    /** An empty record in the default units. */
    CSrcCfg() { Init(); }
    /** From a record; the units stay the default ones.
     * \param p the record */
    CSrcCfg(const _SRC_CONFIG* p) : cfg(*p) {}
    /** Frequency and rotation from a rotation record, the rest empty.
     * \param p the record */
    CSrcCfg(const _SRCROT_CONFIG* p);
    /** Seven floats: position x, y, z, then the four rotation floats.
     * \param f the floats */
    CSrcCfg(const float* f);
    /** Copies another object. */
    CSrcCfg(const CSrcCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CSrcCfg& operator=(const CSrcCfg&) = default;
    /** Copies a record.
     * \param o the record
     * \returns this object */
    CSrcCfg& operator=(const _SRC_CONFIG& o)
    {
        cfg = o;
        return *this;
    }
    /** Copies a record.
     * \param p the record
     * \returns this object */
    CSrcCfg& operator=(const _SRC_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    /** Takes the four rotation floats only.
     * \param rotation the floats
     * \returns this object */
    CSrcCfg& operator=(const float* rotation);
    /** Compares the source frequencies alone. Also for a non-const pointer, which would else compete with the
     * built-in comparison of the converted object.
     * \param o the record
     * \returns true when equal */
    bool operator==(_SRC_CONFIG* o) const { return *this == static_cast<const _SRC_CONFIG*>(o); }
    /** Compares the source frequencies alone.
     * \param o the record
     * \returns true when equal */
    bool operator==(const _SRC_CONFIG* o) const { return cfg.srcfreq == o->srcfreq; }

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _SRC_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator const _SRC_CONFIG*() const { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** An empty record and the default units. */
    void Init();
    /** The default record of the object's orientation units (`Default`; the Euler one for units out of range). */
    void InitDefault();
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** After Init(): the frequency, and position and orientation from pno when given.
     * \param freq the source frequency
     * \param pno position and orientation, or null */
    void Fill(unsigned freq, const _PNO* pno);
    /** Seven floats: position x, y, z, then the four rotation floats.
     * \param f the floats */
    void Fill(const float* f);
    /** The record's size in bytes.
     * \returns sizeof(_SRC_CONFIG) */
    uint64_t Size() const { return sizeof(_SRC_CONFIG); }

    /** A position coordinate, for reading or writing.
     * \returns a reference to it */
    ///@{
    float& X() { return cfg.position[0]; }
    float& Y() { return cfg.position[1]; }
    float& Z() { return cfg.position[2]; }
    ///@}
    /** The start-up hemisphere, an ::eSorixHemisphere code, for reading or writing.
     * \returns a reference to it */
    uint32_t& StartupHem() { return cfg.startupHem; }
    /** The units the record is read in, for reading or writing.
     * \returns a reference to them */
    CUnitsCfg& Units() { return units; }
    /** The source frequency.
     * \returns the frequency */
    unsigned SrcFreq() const { return cfg.srcfreq; }

    /** Compares the positions (each within 0.00001).
     * \param o the record
     * \returns true when equal */
    bool ComparePos(const _SRC_CONFIG* o) const;
    /** Compares the rotations (each within 0.00001).
     * \param o the record
     * \returns true when equal */
    bool CompareOri(const _SRC_CONFIG* o) const;
    /** Whether position and orientation are those of the default for the object's units.
     * \returns true when they are */
    bool IsNull() const;

    /** Appends the record's text report to text: frequency, position and rotation with their units, start-up
     * hemisphere.
     * \rpt */
    void Report(std::string& text, bool header, bool oneLine) const;
    /** Appends the record's text report to text, in a one-line layout of its own: "srcfreq, pos(x,y,z) ...:
     * <values>".
     * \rpt */
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    /** The default records, indexed by orientation units. */
    static const _SRC_CONFIG Default[3];

    /** The record. */
    _SRC_CONFIG cfg;
    /** The units the record is read in. */
    CUnitsCfg units;
};

/** A field source's rotation (`_SRCROT_CONFIG`) with the orientation units it
 * is read in (not part of the record).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSrcRotCfg : public CSrcRotation<CSrcRotCfg> {
public:
    /** An empty record in the default orientation units. */
    CSrcRotCfg() { Init(); }
    /** From a record.
     * \param p the record */
    CSrcRotCfg(const _SRCROT_CONFIG* p);
    /** Frequency and rotation of a source configuration.
     * \param p the record */
    CSrcRotCfg(const _SRC_CONFIG* p);
    /** From the four rotation floats.
     * \param rotation the floats */
    CSrcRotCfg(const float* rotation);
    /** Copies another object. */
    CSrcRotCfg(const CSrcRotCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CSrcRotCfg& operator=(const CSrcRotCfg&) = default;
    /** Copies a record.
     * \param p the record
     * \returns this object */
    CSrcRotCfg& operator=(const _SRCROT_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    /** Takes the four rotation floats.
     * \param rotation the floats
     * \returns this object */
    CSrcRotCfg& operator=(const float* rotation)
    {
        Fill(rotation);
        return *this;
    }
    /** Compares the rotation (each within 0.00001).
     * \param rotation four floats
     * \returns true when equal */
    bool operator==(const float* rotation) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _SRCROT_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** An empty record and the default orientation units. */
    void Init();
    /** The default record of the object's orientation units (`Default`). */
    void InitDefault();
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** After Init(): four rotation floats and the frequency.
     * \param a rotation float 0
     * \param b rotation float 1
     * \param c rotation float 2
     * \param d rotation float 3
     * \param freq the source frequency */
    void Fill(float a, float b, float c, float d, unsigned freq);
    /** Takes the four rotation floats.
     * \param rotation the floats */
    void Fill(const float* rotation);
    /** The record's size in bytes.
     * \returns sizeof(_SRCROT_CONFIG) */
    uint64_t Size() const { return sizeof(_SRCROT_CONFIG); }

    /** The orientation units, for reading or writing.
     * \returns a reference to them */
    uint32_t& Units() { return oriUnits; }
    /** The source frequency.
     * \returns the frequency */
    unsigned SrcFreq() const { return cfg.srcfreq; }

    /** Appends the record's text report to text: frequency and the four rotation floats.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default records, indexed by orientation units. */
    static const _SRCROT_CONFIG Default[3];

    /** The record. */
    _SRCROT_CONFIG cfg;
    /** The orientation units the record is read in. */
    uint32_t oriUnits;
};

/** @} */
