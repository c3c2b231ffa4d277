/** \file
 * The prediction filter of one sensor, with and without its noise profile.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** The noise profile of a prediction filter (`_NOISEPROFILE`).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CPFNoise {
public:
    /** The default profile. */
    CPFNoise() { InitDefault(); }
    /** From a record.
     * \param p the record */
    CPFNoise(const _NOISEPROFILE* p) : cfg(*p) {}
    /** Copies another object. */
    CPFNoise(const CPFNoise&) = default;
    /** Copies another object. */
    CPFNoise(CPFNoise&&) = default;
    /** Copies another object.
     * \returns this object */
    CPFNoise& operator=(const CPFNoise&) = default;
    /** Copies another object.
     * \returns this object */
    CPFNoise& operator=(CPFNoise&&) = default;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _NOISEPROFILE*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** The default profile (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** The record's size in bytes.
     * \returns sizeof(_NOISEPROFILE) */
    uint64_t Size() const { return sizeof(_NOISEPROFILE); }

    /** The default profile. */
    static const _NOISEPROFILE Default;

    /** The record. */
    _NOISEPROFILE cfg;
};

/** A sensor's prediction filter with its noise profile (`_PF_CONFIG_EXT`,
 * ::CMD_PREDFILTER_EXT).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CPredFiltCfgExt {
public:
    /** All zero except the prediction time of 20 ms. */
    CPredFiltCfgExt() { Init(); }
    /** From a record.
     * \param p the record */
    CPredFiltCfgExt(const _PF_CONFIG_EXT* p) : cfg(*p) {}
    /** Copies another object. */
    CPredFiltCfgExt(const CPredFiltCfgExt&) = default;

    /** Copies another object.
     * \returns this object */
    CPredFiltCfgExt& operator=(const CPredFiltCfgExt&) = default;
    /** Copies a record.
     * \param o the record
     * \returns this object */
    CPredFiltCfgExt& operator=(const _PF_CONFIG_EXT& o)
    {
        cfg = o;
        return *this;
    }

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _PF_CONFIG_EXT*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** All zero except the prediction time of 20 ms. */
    void Init();
    /** The default record (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** From the default: both filter switches, the prediction time when below 1000 ms, and the noise profile
     * when given.
     * \param qFil orientation filter on
     * \param pFil position filter on
     * \param ms the prediction time in milliseconds
     * \param noise the noise profile, or null */
    void Fill(bool qFil, bool pFil, int ms, const _NOISEPROFILE* noise = nullptr);
    /** The same with the prediction time in seconds (taken when below 1 s).
     * \param qFil orientation filter on
     * \param pFil position filter on
     * \param seconds the prediction time in seconds
     * \param noise the noise profile, or null */
    void Fill(bool qFil, bool pFil, float seconds, const _NOISEPROFILE* noise = nullptr);
    /** The record's size in bytes.
     * \returns sizeof(_PF_CONFIG_EXT) */
    uint64_t Size() const { return sizeof(_PF_CONFIG_EXT); }

    /** Whether the orientation filter is on.
     * \returns true when `qFil_on` is not 0 */
    bool QuatFilterOn() const { return cfg.qFil_on != 0; }
    /** Whether the position filter is on.
     * \returns true when `pFil_on` is not 0 */
    bool PosFilterOn() const { return cfg.pFil_on != 0; }
    /** The prediction time in whole milliseconds.
     * \returns the time; 0 for a negative time */
    unsigned PredTimeMS() const;

    /** Appends the record's text report to text: both switches, the prediction time and the four noise matrices
     * (at most 999 characters).
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _PF_CONFIG_EXT Default;

    /** The record. */
    _PF_CONFIG_EXT cfg;
};

/** A sensor's prediction filter without its noise profile: the same record
 * seen as its first twelve bytes, a `_PF_CONFIG` (::CMD_PREDFILTER_CFG).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CPredFiltCfg : public CPredFiltCfgExt {
public:
    /** All zero except the prediction time of 20 ms. */
    CPredFiltCfg() { Init(); }
    /** The first twelve bytes from a record; the rest as Init() sets it.
     * \param p the record */
    CPredFiltCfg(const _PF_CONFIG* p);
    /** From a whole record.
     * \param p the record */
    CPredFiltCfg(const _PF_CONFIG_EXT* p) : CPredFiltCfgExt(p) {}
    /** Copies another object. */
    CPredFiltCfg(const CPredFiltCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CPredFiltCfg& operator=(const CPredFiltCfg&) = default;
    /** Takes the first twelve bytes from a record; the noise profile stays.
     * \param o the record
     * \returns this object */
    CPredFiltCfg& operator=(const _PF_CONFIG& o);

    /** The first twelve bytes, as a pointer for the command functions.
     * \returns the address of the record */
    operator _PF_CONFIG*() { return reinterpret_cast<_PF_CONFIG*>(&cfg); }

    /** From the default: both filter switches and the prediction time when below 1000 ms.
     * \param qFil orientation filter on
     * \param pFil position filter on
     * \param ms the prediction time in milliseconds */
    void Fill(bool qFil, bool pFil, int ms) { CPredFiltCfgExt::Fill(qFil, pFil, ms, nullptr); }
    /** The record's size in bytes.
     * \returns sizeof(_PF_CONFIG) */
    uint64_t Size() const { return sizeof(_PF_CONFIG); }

    /** Appends the record's text report to text: both switches and the prediction time, without a line end.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
};

/** @} */
