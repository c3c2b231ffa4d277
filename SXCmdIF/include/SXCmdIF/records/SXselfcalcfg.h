/** \file
 * Self-calibration state: operating and memory state, correction rate.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** Operating states: bits 0-7 of the self-calibration state word. */
enum _eSelfCalOpState {
    SELFCAL_OP_DISABLED = 0,               ///< Off.
    SELFCAL_OP_ENABLED = 1,                ///< On.
    SELFCAL_OP_ENABLED_AND_COLLECTING = 3, ///< On and collecting data.
    SELFCAL_OP_MAX = 4                     ///< Undefined.
};

/** Memory states: bits 8-15 of the self-calibration state word. */
enum _eSelfCalMemState {
    SELFCAL_NOMEM = 0,                      ///< No saved data.
    SELFCAL_MEM_PERSIST = 1,                ///< Saved.
    SELFCAL_MEM_NEWUNSAVED = 2,             ///< New data not saved.
    SELFCAL_MEM_PERSIST_AND_NEWUNSAVED = 3, ///< Saved, and new data not saved.
    SELFCAL_MEM_MAX = 4                     ///< Undefined.
};

/** Self-calibration state and correction rate (`_SELFCAL_CONFIG`): the state
 * word holds the operating state (bits 0-7) and the memory state (bits 8-15).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSelfCalCfg {
public:
    /** All zero. */
    CSelfCalCfg() { Init(); }
    /** From a record.
     * \param p the record */
    CSelfCalCfg(const _SELFCAL_CONFIG* p) : cfg(*p) {}
    /** All zero but the state word.
     * \param state the state word */
    CSelfCalCfg(unsigned state)
    {
        Init();
        cfg.state = state;
    }
    /** All zero but the custom rate.
     * \param customRate the custom rate */
    CSelfCalCfg(float customRate)
    {
        Init();
        cfg.custom_rate = customRate;
    }
    /** The default, enabled or disabled (InitDefault()).
     * \param enabled the enabled default */
    CSelfCalCfg(bool enabled) { InitDefault(enabled); }
    /** Copies another object. */
    CSelfCalCfg(const CSelfCalCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CSelfCalCfg& operator=(const CSelfCalCfg&) = default;
    /** Copies a record.
     * \param p the record
     * \returns this object */
    CSelfCalCfg& operator=(const _SELFCAL_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    /** After Init(): the state word, with the rate recognised from the (zero) custom rate.
     * \param state the state word
     * \returns this object */
    CSelfCalCfg& operator=(unsigned state);
    /** The custom rate, then the preset it matches (SetPreset()).
     * \param customRate the custom rate
     * \returns this object */
    CSelfCalCfg& operator=(float customRate);
    /** State words equal and custom rates within 0.00001; the rate code takes no part.
     * \param o the record
     * \returns true when equal */
    bool operator==(const _SELFCAL_CONFIGu* o) const;
    /** State words equal and custom rates within 0.00001; the rate code takes no part. Also for a non-const
     * pointer, which would else compete with the built-in comparison of the converted object.
     * \param o the record
     * \returns true when equal */
    bool operator==(_SELFCAL_CONFIG* o) const { return *this == static_cast<const _SELFCAL_CONFIG*>(o); }
    /** State words equal and custom rates within 0.00001; the rate code takes no part.
     * \param o the record
     * \returns true when equal */
    bool operator==(const _SELFCAL_CONFIG* o) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _SELFCAL_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    void* TOP() { return &cfg; }

    /** All zero. */
    void Init() { cfg = _SELFCAL_CONFIG{}; }
    /** The default record (`Default`, or `DefaultDisabled`).
     * \param enabled the enabled default */
    void InitDefault(bool enabled = true);
    /** The disabled default (`DefaultDisabled`). */
    void InitDisabled() { InitDefault(false); }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets state word and rate code; the custom value is taken for the custom rate (3) and above, else the
     * preset value of the rate.
     * \param opState the state word
     * \param rate an ::eCalCorrectRate value
     * \param custom the custom rate */
    void Fill(unsigned opState, unsigned rate, float custom);
    /** Sets the state word.
     * \param state the state word */
    void FillState(unsigned state) { cfg.state = state; }
    /** The record's size in bytes.
     * \returns sizeof(_SELFCAL_CONFIG) */
    ///@{
    uint64_t SZCFG() const { return sizeof(_SELFCAL_CONFIG); }
    uint64_t Size() const { return sizeof(_SELFCAL_CONFIG); }
    ///@}

    /** Whether bit 0 of the state word is set.
     * \returns true when it is */
    bool Enabled() const { return (cfg.state & 1u) != 0; }
    /** Whether the operating state is ::SELFCAL_OP_DISABLED.
     * \returns true when it is */
    bool Disabled() const { return OpState() == SELFCAL_OP_DISABLED; }
    /** Whether the operating state is ::SELFCAL_OP_ENABLED_AND_COLLECTING.
     * \returns true when it is */
    bool Collecting() const { return OpState() == SELFCAL_OP_ENABLED_AND_COLLECTING; }
    /** Whether saved data exist (bit 8).
     * \returns true when they do */
    ///@{
    bool Persist() const { return (cfg.state & 0x100u) != 0; }
    bool Saved() const { return Persist(); }
    ///@}
    /** Whether new data are not saved (bit 9).
     * \returns true when so */
    bool NewUnsaved() const { return (cfg.state & 0x200u) != 0; }
    /** Whether the rate code is ::CALCORRECT_CUSTOM.
     * \returns true when it is */
    bool Custom() const { return cfg.correction_rate == CALCORRECT_CUSTOM; }
    /** Whether the custom rate is the instant one (`fCalCorrInstant`, within 0.00001).
     * \returns true when it is */
    bool Instant() const;

    /** The operating state.
     * \returns bits 0-7 of the state word */
    unsigned OpState() const { return cfg.state & 0xFFu; }
    /** The memory state.
     * \returns bits 8-15 of the state word */
    unsigned MemState() const { return (cfg.state >> 8) & 0xFFu; }
    /** The operating state as an enumeration value.
     * \returns the state, at most ::SELFCAL_OP_MAX */
    _eSelfCalOpState eOpState() const;
    /** The memory state as an enumeration value.
     * \returns the state, at most ::SELFCAL_MEM_MAX */
    _eSelfCalMemState eMemState() const;
    /** The rate code as an enumeration value.
     * \returns the rate, at most ::CALCORRECT_CUSTOM */
    eCalCorrectRate eRate() const;

    /** The name of an operating state ("SELFCAL_OP_ENABLED"); values above 4 count as 4, and 2 reads
     * "SELFCAL_OP_MAX".
     * \param value the state
     * \returns the name */
    ///@{
    static const char* opstatestr(unsigned value);
    static const wchar_t* opstatestrW(unsigned value);
    ///@}
    /** The name ("SELFCAL_MEM_PERSIST") or display text ("Saved") of a memory state; values above 4 count as 4.
     * \param value the state
     * \param display the display text
     * \returns the text */
    ///@{
    static const char* memstatestr(unsigned value, bool display);
    static const wchar_t* memstatestrW(unsigned value, bool display);
    ///@}
    /** Kept for callers: the name tables are constant data, always built. */
    ///@{
    static void InitSelfCalMemStateInfo() {}
    static void InitSelfCalOpStateInfo() {}
    ///@}

    /** A zero custom rate disables (state word 0); the rate code becomes that of the first preset matching the
     * custom rate (within 0.00001), else custom. */
    void SetPreset();

    /** Appends the record's text report to text: state word with both state names, rate code with its name,
     * custom rate.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Appends a short summary to text: "Collecting,", "Enabled" or "Disabled", the rate, then "; " and the
     * memory state's display text.
     * \param text receives the summary
     * \param unused not used */
    void Brief(std::string& text, bool unused = false) const;
    /** Appends a short summary to text in the wide layout: the rate after " Enabled : ", the memory state after
     * ";   " or a line end.
     * \param text receives the summary
     * \param unused not used
     * \param semicolon separate by ";   " instead of a line end */
    void BriefW(std::wstring& text, bool unused = false, bool semicolon = false) const;

    /** The enabled default record. */
    static const _SELFCAL_CONFIGu Default;
    /** The disabled default record. */
    static const _SELFCAL_CONFIGu DefaultDisabled;
    /** The custom rate that disables (0). */
    static const float fCalCorrOff;
    /** The rate of ::CALCORRECT_SLOW. */
    static const float fCalCorrSlow;
    /** The rate of ::CALCORRECT_MED. */
    static const float fCalCorrMedium;
    /** The rate of ::CALCORRECT_FAST. */
    static const float fCalCorrFast;
    /** The instant rate. */
    static const float fCalCorrInstant;
    /** The preset rates slow, medium, fast and instant, indexed by ::eCalCorrectRate 0 to 3. */
    static const float preset_rates[4];

    /** The record. */
    _SELFCAL_CONFIG cfg;
};

/** @} */
