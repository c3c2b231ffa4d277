/** \file
 * CSXcmd: one outgoing command frame, with the static frame helpers, the
 * command catalogue and the name lookups of every enumerated value.
 * \ingroup sx_commands */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXcmdEnums.h>
#include <SXCmdIF/protocol/SXframe.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>

#include <cstdint>

struct _HEMISPHERE_CONFIG;

/** \addtogroup sx_commands
 * @{ */

/** One outgoing command frame (header, a reference to the caller's payload),
 * with the static frame helpers, the command catalogue and the name lookups
 * of every enumerated value. The lookups never fail: a value out of range
 * gives a fixed text ("undefined_cmd", "undefined", ...). Every static
 * function may be called from any thread; an object belongs to one thread at
 * a time. */
class SXCMDIF_API CSXcmd {
public:
    /** Starts a command with this preamble, `size` 24 and no payload.
     * \param preamble the command preamble (::SX_PREAMBLE_CMD, ::Q7_PREAMBLE_CMD) */
    explicit CSXcmd(unsigned int preamble = SX_PREAMBLE_CMD);
    /** Copies the header only: the copy references no payload.
     * \param other the command copied */
    CSXcmd(const CSXcmd& other);
    /** Copies the header only: this command keeps its own payload reference.
     * \param other the command copied
     * \returns this command */
    CSXcmd& operator=(const CSXcmd& other);

    /** Starts a command: preamble, `size` 24, no payload.
     * \param preamble the command preamble */
    void Init(unsigned int preamble);
    /** Stores the header words; only a SET takes the payload (and grows
     * `size` by its length). Fill once after each Init.
     * \param seuid the unit identifier
     * \param cmd an ::eSorixCmds code
     * \param action an ::eCmdActions value
     * \param arg1 the `arg1` word (the sensor of a sensor-level command)
     * \param arg2 the `arg2` word
     * \param payload the record sent with a SET; referenced, not copied, until Prepare()
     * \param payloadLen its bytes */
    void Fill(unsigned int seuid, unsigned int cmd, unsigned int action, unsigned int arg1, unsigned int arg2,
              const void* payload, unsigned int payloadLen);
    /** Switches to the tag device's command preamble, "Q7BC". */
    void sx2tag();
    /** Writes header, payload and CRC into buf; len and the result are the
     * bytes written. buf must hold FrameLen() bytes; it is not tested.
     * \param buf receives the frame
     * \param len receives the bytes written
     * \returns the bytes written */
    int Prepare(unsigned char* buf, int& len) const;
    /** The same, but refuses (result 0, len 0, nothing written) when the frame
     * does not fit bufSize or when the header's `size` disagrees with the
     * payload that would be written.
     * \param buf receives the frame
     * \param len receives the bytes written
     * \param bufSize the bytes buf holds
     * \returns the bytes written, or 0 */
    int Prepare(unsigned char* buf, int& len, unsigned int bufSize) const;
    /** Bytes Prepare writes: 28 + payload + 4.
     * \returns the frame's length */
    unsigned int FrameLen() const;

    /** A header word, for reading or writing.
     * \returns a reference to the word in the header */
    ///@{
    unsigned int& Seu() { return hdr.seuid; }
    unsigned int& Cmd() { return hdr.cmd; }
    unsigned int& Act() { return hdr.action; }
    unsigned int& Arg1() { return hdr.arg1; }
    unsigned int& Arg2() { return hdr.arg2; }
    unsigned int& SnsArg() { return hdr.arg1; }
    ///@}
    /** The command word as an ::eSorixCmds value.
     * \returns the command */
    eSorixCmds ECmd() const { return static_cast<eSorixCmds>(hdr.cmd); }
    /** The action word as an ::eCmdActions value.
     * \returns the action */
    eCmdActions EAct() const { return static_cast<eCmdActions>(hdr.action); }

    /** Whether the action word is the action named.
     * \returns true when it is */
    ///@{
    bool IsSet() const { return hdr.action == CMD_ACTION_SET; }
    bool IsGet() const { return hdr.action == CMD_ACTION_GET; }
    bool IsReset() const { return hdr.action == CMD_ACTION_RESET; }
    bool IsAck() const { return hdr.action == CMD_ACTION_ACK; }
    bool IsNak() const { return hdr.action == CMD_ACTION_NAK; }
    bool IsNakWarning() const { return hdr.action == CMD_ACTION_NAK_WARNING; }
    ///@}

    /** The header.
     * \returns its address */
    operator _SEUCMD_HDR*() { return &hdr; }
    /** The address of another command.
     * \param other a command
     * \returns its address */
    ///@{
    CSXcmd* operator()(CSXcmd& other) { return &other; }
    const CSXcmd* operator()(const CSXcmd& other) const { return &other; }
    ///@}

    // --- Frame helpers ---------------------------------------------------
    /** CRC-16/ARC of a byte range: table-driven, sixteen bytes a step, with
     * the same result as crc16 applied to each byte in turn.
     * \param bytes the first byte
     * \param len the number of bytes
     * \returns the CRC (0 for no bytes) */
    static unsigned int CalcCRC_Bytes(const unsigned char* bytes, unsigned int len);
    /** Advances a CRC accumulator by one byte (nibble parity, no table).
     * \param acc the accumulator, 0 at the start
     * \param byte the next byte */
    static void crc16(unsigned int* acc, unsigned char byte);
    /** Receive check of the CRC word of a frame whose whole length the `size`
     * word gives; reads as far as that word says.
     * \param frame the frame
     * \returns true when the CRC over preamble to payload matches the CRC word */
    static bool ValidateCRC(const unsigned char* frame);
    /** Receive check over a frame whose whole length the `size` word gives.
     * \param frame the frame's words
     * \param cmdPre the command preamble expected
     * \param pnoPre the P&O preamble expected
     * \returns true when the preamble is one of the two (ValidatePreamble), or
     *   `size` lies in the limits of that kind of frame (ValidateSize) */
    ///@{
    static bool ValidatePreamble(const unsigned int* frame, unsigned int cmdPre, unsigned int pnoPre);
    static bool ValidateSize(const unsigned int* frame, unsigned int cmdPre, unsigned int pnoPre);
    ///@}
    /** Preamble and size checks together.
     * \param frame the frame
     * \param cmdPre the command preamble expected
     * \param pnoPre the P&O preamble expected
     * \returns true when both pass */
    static bool ValidateLeader(const unsigned char* frame, unsigned int cmdPre, unsigned int pnoPre);
    /** The same checks bounded by the bytes actually received: a frame
     * shorter than its `size` word announces fails, nothing past frameLen
     * is read.
     * \param frame the frame
     * \param frameLen the bytes received
     * \param cmdPre the command preamble expected
     * \param pnoPre the P&O preamble expected
     * \returns true when the check passes */
    ///@{
    static bool ValidatePreambleN(const unsigned char* frame, unsigned int frameLen, unsigned int cmdPre,
                                  unsigned int pnoPre);
    static bool ValidateSizeN(const unsigned char* frame, unsigned int frameLen, unsigned int cmdPre,
                              unsigned int pnoPre);
    ///@}
    /** ValidateCRC() bounded by the bytes received.
     * \param frame the frame
     * \param frameLen the bytes received
     * \returns true when the frame holds its CRC word and the CRC matches */
    static bool ValidateCRCN(const unsigned char* frame, unsigned int frameLen);
    /** ValidateLeader() bounded by the bytes received.
     * \param frame the frame
     * \param frameLen the bytes received
     * \param cmdPre the command preamble expected
     * \param pnoPre the P&O preamble expected
     * \returns true when both checks pass */
    static bool ValidateLeaderN(const unsigned char* frame, unsigned int frameLen, unsigned int cmdPre,
                                unsigned int pnoPre);
    /** The command (TrkCmdPre) or P&O (TrkPnoPre) preamble of a USB product:
     * "SXRC"/"SXRP" for ::PID_SORIX, "Q7BC"/"Q7BP" for ::PID_Q7_TAG.
     * \param productId a USB product id
     * \returns the preamble, 0 for a product without its own */
    ///@{
    static unsigned int TrkCmdPre(unsigned int productId);
    static unsigned int TrkPnoPre(unsigned int productId);
    ///@}
    /** fract / 32768 * scale, in single precision.
     * \param fract a fixed-point fraction of full scale
     * \param scale the full scale
     * \returns the value */
    static float FractToFloat(int16_t fract, float scale);

    // --- Command catalogue -----------------------------------------------
    /** Kept for callers: the tables are constant data, these return at once. */
    ///@{
    static void InitCmdInfo();
    static void InitActInfo();
    ///@}
    /** The name of a command code ("CMD_UNITS").
     * \param cmd a command code
     * \returns the name; "undefined_cmd" for 40 or more, "CMD_UNDEFINED" for 23, 25, 39 */
    ///@{
    static const char* cmdstr(unsigned int cmd);
    static const wchar_t* cmdstrW(unsigned int cmd);
    ///@}
    /** The name of a command's payload record ("UNITS_CONFIG", "NONE").
     * \param cmd a command code
     * \returns the name; "undefined_cmd" for 40 or more */
    ///@{
    static const char* cmdpaystr(unsigned int cmd);
    static const wchar_t* cmdpaystrW(unsigned int cmd);
    ///@}
    /** The payload size of a command.
     * \param cmd a command code
     * \returns its bytes; 0 for a command without payload or out of range */
    static uint64_t paysize(eSorixCmds cmd);
    /** The frame size of a command: 28 + payload + 4.
     * \param cmd a command code
     * \returns its bytes */
    static uint64_t framesize(eSorixCmds cmd);
    /** Whether the catalogue allows an action with a command.
     * \param cmd a command code
     * \param action an action
     * \returns true when allowed; false for a code or action out of range */
    static bool ValidateAct(eSorixCmds cmd, eCmdActions action);
    /** The name of an action: "CMD_ACTION_ACK", or with shortName "ACTION_ACK".
     * \param action an action
     * \param shortName the short name
     * \returns the name; "undefined_action" for 6 or more */
    static const char* actstr(unsigned int action, bool shortName = false);
    /** The wide long name of an action.
     * \param action an action
     * \returns the name; "undefined_action" for 6 or more */
    static const wchar_t* actstrW(unsigned int action);
    /** The tracker command of a tag device's command: none maps.
     * \param tagCmd a tag device's command code
     * \returns ::CMD_MAX */
    static eSorixCmds tag2sxcmd(unsigned int tagCmd);
    /** The tag device's command of a tracker command: none maps.
     * \param cmd a command code
     * \returns ::SX_FRAME_MARKER */
    static unsigned int sx2tagcmd(eSorixCmds cmd);

    // --- Vocabularies ----------------------------------------------------
    /** Kept for callers: the name tables are constant data, these return at once. */
    ///@{
    static void InitBaudInfo();
    static void InitParityInfo();
    static void InitBITcodeInfo();
    static void InitFRateInfo();
    static void InitUnitsInfo();
    static void InitFilterLevInfo();
    static void InitFilterTarInfo();
    static void InitHemisphereInfo();
    static void InitSorixHemisphereInfo();
    static void InitFTTInfo();
    static void InitFTTHInfo();
    static void InitSnsOrigInfo();
    static void InitStylusInfo();
    static void InitCalCorrectRateInfo();
    ///@}

    /** The name of a baud-rate index ("E_BR_115200").
     * \param value an ::eBaud index
     * \returns the name; "BAUD_UNDEFINED" for 14, "undefined_baud" above */
    ///@{
    static const char* baudstr(unsigned int value);
    static const wchar_t* baudstrW(unsigned int value);
    ///@}
    /** The rate of a baud-rate index as text ("115200").
     * \param value an ::eBaud index
     * \returns the text; "undef" for 14, "undefined" above */
    ///@{
    static const char* baudvalstr(unsigned int value);
    static const wchar_t* baudvalstrW(unsigned int value);
    ///@}
    /** The rate of a baud-rate index.
     * \param value an ::eBaud index
     * \returns bits a second; 0 for 14 and above */
    ///@{
    static int baudbps(unsigned int value);
    ///@}
    /** The baud-rate index of a rate.
     * \param bps bits a second
     * \returns the index, ::E_BR_MAX for a rate not in the table */
    ///@{
    static unsigned int bpsbaud(int bps);
    ///@}
    /** The name of a parity ("E_PARITY_NONE").
     * \param value an ::eParity value
     * \returns the name; "undefined_parity" above 3 */
    ///@{
    static const char* paritystr(unsigned int value);
    static const wchar_t* paritystrW(unsigned int value);
    ///@}
    /** The short text of a parity ("none", "odd", "even", "undef").
     * \param value an ::eParity value
     * \returns the text; "undefined" above 3 */
    ///@{
    static const char* parityvalstr(unsigned int value);
    static const wchar_t* parityvalstrW(unsigned int value);
    ///@}
    /** The name of a built-in-test code ("E_BITERR_SOURCE").
     * \param value an ::eBITerr code
     * \returns the name; "undefined_bit_code" above 8 */
    ///@{
    static const char* bitcodestr(unsigned int value);
    static const wchar_t* bitcodestrW(unsigned int value);
    ///@}
    /** The text of a built-in-test code ("No Error", "SOURCE").
     * \param value an ::eBITerr code
     * \returns the text; "undefined" above 8 */
    ///@{
    static const char* bitcodevalstr(unsigned int value);
    static const wchar_t* bitcodevalstrW(unsigned int value);
    ///@}
    /** The name of a frame-rate code ("FR_240").
     * \param value an ::eFrameRate code
     * \returns the name; "FRAMERATE_UNDEFINED" for 6 and above */
    ///@{
    static const char* frameratestr(unsigned int value);
    static const wchar_t* frameratestrW(unsigned int value);
    ///@}
    /** The text of a position unit: long ("Inch"), short ("IN") or the name ("POS_INCH").
     * \param value an ::eSorixPosUnits value (4 and above: undefined)
     * \param longText the long text
     * \param shortText the short text, when not longText
     * \returns the text; the name "POS_UNITS_UNDEFINED" and empty texts for 4 and above */
    ///@{
    static const char* posunitsstr(unsigned int value, bool longText, bool shortText);
    static const wchar_t* posunitsstrW(unsigned int value, bool longText, bool shortText);
    ///@}
    /** The text of an orientation unit: long ("Deg"), short ("DEG") or the name ("ORI_EULER_DEGREE").
     * \param value an ::eSorixOriUnits value (3 and above: undefined)
     * \param longText the long text
     * \param shortText the short text, when not longText
     * \returns the text; the name "ORI_UNITS_UNKNOWN" and empty texts for 3 and above */
    ///@{
    static const char* oriunitsstr(unsigned int value, bool longText, bool shortText);
    static const wchar_t* oriunitsstrW(unsigned int value, bool longText, bool shortText);
    ///@}
    /** The name of a filter level ("FILTER_LVL_HEAVY").
     * \param value an ::eSorixFilterLevel value
     * \returns the name; "FILTER_LVL_UNDEFINED" for 9 and above */
    ///@{
    static const char* filterlevstr(unsigned int value);
    static const wchar_t* filterlevstrW(unsigned int value);
    ///@}
    /** The name of a filter target ("FILTER_TRGT_POS").
     * \param value an ::eSorixFilterTargets value
     * \returns the name; "FILTER_TRGT_UNDEFINED" for 3 and above */
    ///@{
    static const char* filtertarstr(unsigned int value);
    static const wchar_t* filtertarstrW(unsigned int value);
    ///@}
    /** The name of a hemisphere preset of a sensor ("POS_X" ... "NEG_Z", "CUSTOM").
     * \param value a CHemisphereCfg::eHemPresetVal value
     * \returns the name; "HEMPRESETVAL_MAX" for 7 and above */
    ///@{
    static const char* hemispherestr(unsigned int value);
    static const wchar_t* hemispherestrW(unsigned int value);
    ///@}
    /** The hemisphere record of a preset.
     * \param value a CHemisphereCfg::eHemPresetVal value (7 and above: the last row)
     * \returns a constant record */
    ///@{
    static const _HEMISPHERE_CONFIG* hemispherecfg(unsigned int value);
    ///@}
    /** The name of a tracker hemisphere code ("POS_X" ... "NEG_Z", "Auto").
     * \param value an ::eSorixHemisphere code
     * \returns the name; "E_SX_HEM_MAX" for 7 and above */
    ///@{
    static const char* sxhemispherestr(unsigned int value);
    static const wchar_t* sxhemispherestrW(unsigned int value);
    ///@}
    /** The name of an FTT mode ("FTT_MODE_1").
     * \param value an ::eFTTMode value
     * \returns the name; "FTT_MODE_UNDEFINED" for 4 and above */
    ///@{
    static const char* fttstr(unsigned int value);
    static const wchar_t* fttstrW(unsigned int value);
    ///@}
    /** The name of an FTT home method ("FTTHOME_METHOD_0").
     * \param value an ::eFTTHomeMethod value
     * \returns the name; "FTTHOME_METHOD_UNDEFINED" for 4 and above */
    ///@{
    static const char* ftthstr(unsigned int value);
    static const wchar_t* ftthstrW(unsigned int value);
    ///@}
    /** The name of a sensor origin ("SNS_ORIG_COMMON").
     * \param value an ::eSensorOrigin value
     * \returns the name; "undefined_sensor_origin" above 4 */
    ///@{
    static const char* snsorigstr(unsigned int value);
    static const wchar_t* snsorigstrW(unsigned int value);
    ///@}
    /** The name of a stylus mode ("STYLUS_MODE_MARK").
     * \param value an ::eStylusMode value
     * \returns the name; "undefined_stylus_mode" above 3 */
    ///@{
    static const char* stylusmodestr(unsigned int value);
    static const wchar_t* stylusmodestrW(unsigned int value);
    ///@}
    /** The name ("CALCORRECT_SLOW") or short text ("SLOW") of a correction rate; the wide short text of the custom
     * rate is "CUSTOM".
     * \param value an ::eCalCorrectRate value (4 and above: "CALCORRECT_MAX", "MAX")
     * \param shortText the short text
     * \returns the text */
    ///@{
    static const char* calcorrectstr(unsigned int value, bool shortText);
    static const wchar_t* calcorrectstrW(unsigned int value, bool shortText);
    ///@}
    /** The text of an on/off value: "TRUE"/"FALSE" with trueFalse, else "ENABLED"/"DISABLED".
     * \param value 0 off, any other value on
     * \param trueFalse the TRUE/FALSE words
     * \returns the text */
    ///@{
    static const char* binstr(unsigned int value, bool trueFalse);
    static const wchar_t* binstrW(unsigned int value, bool trueFalse);
    ///@}

    _SEUCMD_HDR hdr;               ///< The header words.
    const unsigned char* pPayload; ///< The caller's payload, read only by Prepare().
    uint32_t payloadSize;          ///< Its bytes.
};

/** @} */
