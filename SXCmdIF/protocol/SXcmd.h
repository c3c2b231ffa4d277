// CSXcmd: one outgoing command frame, with the static frame helpers, the
// command catalogue and the name lookups of every enumerated value.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXcmdEnums.h>
#include <SXCmdIF/protocol/SXframe.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>

#include <cstdint>

struct _HEMISPHERE_CONFIG;

class SXCMDIF_API CSXcmd {
public:
    explicit CSXcmd(unsigned int preamble = SX_PREAMBLE_CMD);
    // Copies carry the header only: a copy-constructed command references no
    // payload, an assigned one keeps its own reference.
    CSXcmd(const CSXcmd& other);
    CSXcmd& operator=(const CSXcmd& other);

    // Starts a command: preamble, `size` 24, no payload.
    void Init(unsigned int preamble);
    // Stores the header words; only a SET takes the payload (and grows
    // `size` by its length). Fill once after each Init.
    void Fill(unsigned int seuid, unsigned int cmd, unsigned int action, unsigned int arg1,
              unsigned int arg2, const void* payload, unsigned int payloadLen);
    // Switches to the tag device's command preamble.
    void sx2tag();
    // Writes header, payload and CRC into buf; len and the result are the
    // bytes written. buf must hold FrameLen() bytes; it is not tested.
    int Prepare(unsigned char* buf, int& len) const;
    // The same, but refuses (result 0, len 0, nothing written) when the frame
    // does not fit bufSize or when the header's `size` disagrees with the
    // payload that would be written.
    int Prepare(unsigned char* buf, int& len, unsigned int bufSize) const;
    // Bytes Prepare writes: 28 + payload + 4.
    unsigned int FrameLen() const;

    unsigned int& Seu() { return hdr.seuid; }
    unsigned int& Cmd() { return hdr.cmd; }
    unsigned int& Act() { return hdr.action; }
    unsigned int& Arg1() { return hdr.arg1; }
    unsigned int& Arg2() { return hdr.arg2; }
    unsigned int& SnsArg() { return hdr.arg1; }
    eSorixCmds ECmd() const { return static_cast<eSorixCmds>(hdr.cmd); }
    eCmdActions EAct() const { return static_cast<eCmdActions>(hdr.action); }

    bool IsSet() const { return hdr.action == CMD_ACTION_SET; }
    bool IsGet() const { return hdr.action == CMD_ACTION_GET; }
    bool IsReset() const { return hdr.action == CMD_ACTION_RESET; }
    bool IsAck() const { return hdr.action == CMD_ACTION_ACK; }
    bool IsNak() const { return hdr.action == CMD_ACTION_NAK; }
    bool IsNakWarning() const { return hdr.action == CMD_ACTION_NAK_WARNING; }

    operator _SEUCMD_HDR*() { return &hdr; }
    CSXcmd* operator()(CSXcmd& other) { return &other; }
    const CSXcmd* operator()(const CSXcmd& other) const { return &other; }

    // --- Frame helpers ---------------------------------------------------
    // CRC-16/ARC of a byte range: table-driven, sixteen bytes a step, with
    // the same result as crc16 applied to each byte in turn.
    static unsigned int CalcCRC_Bytes(const unsigned char* bytes, unsigned int len);
    // Advances a CRC accumulator by one byte (nibble parity, no table).
    static void crc16(unsigned int* acc, unsigned char byte);
    // Receive checks over a frame whose whole length the `size` word gives;
    // they read as far as that word says.
    static bool ValidateCRC(const unsigned char* frame);
    static bool ValidatePreamble(const unsigned int* frame, unsigned int cmdPre, unsigned int pnoPre);
    static bool ValidateSize(const unsigned int* frame, unsigned int cmdPre, unsigned int pnoPre);
    static bool ValidateLeader(const unsigned char* frame, unsigned int cmdPre, unsigned int pnoPre);
    // The same checks bounded by the bytes actually received: a frame
    // shorter than its `size` word announces fails, nothing past frameLen
    // is read.
    static bool ValidatePreambleN(const unsigned char* frame, unsigned int frameLen,
                                  unsigned int cmdPre, unsigned int pnoPre);
    static bool ValidateSizeN(const unsigned char* frame, unsigned int frameLen,
                              unsigned int cmdPre, unsigned int pnoPre);
    static bool ValidateCRCN(const unsigned char* frame, unsigned int frameLen);
    static bool ValidateLeaderN(const unsigned char* frame, unsigned int frameLen,
                                unsigned int cmdPre, unsigned int pnoPre);
    // Preambles of a USB product: 0 for a product without its own.
    static unsigned int TrkCmdPre(unsigned int productId);
    static unsigned int TrkPnoPre(unsigned int productId);
    // fract / 32768 * scale, in single precision.
    static float FractToFloat(int16_t fract, float scale);

    // --- Command catalogue -----------------------------------------------
    // The tables are constant data; these return at once.
    static void InitCmdInfo();
    static void InitActInfo();
    static const char* cmdstr(unsigned int cmd);
    static const wchar_t* cmdstrW(unsigned int cmd);
    static const char* cmdpaystr(unsigned int cmd);
    static const wchar_t* cmdpaystrW(unsigned int cmd);
    static uint64_t paysize(eSorixCmds cmd);
    static uint64_t framesize(eSorixCmds cmd);
    static bool ValidateAct(eSorixCmds cmd, eCmdActions action);
    static const char* actstr(unsigned int action, bool shortName = false);
    static const wchar_t* actstrW(unsigned int action);
    static eSorixCmds tag2sxcmd(unsigned int tagCmd);
    static unsigned int sx2tagcmd(eSorixCmds cmd);

    // --- Vocabularies ----------------------------------------------------
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

    static const char* baudstr(unsigned int value);
    static const wchar_t* baudstrW(unsigned int value);
    static const char* baudvalstr(unsigned int value);
    static const wchar_t* baudvalstrW(unsigned int value);
    static int baudbps(unsigned int value);
    static unsigned int bpsbaud(int bps);
    static const char* paritystr(unsigned int value);
    static const wchar_t* paritystrW(unsigned int value);
    static const char* parityvalstr(unsigned int value);
    static const wchar_t* parityvalstrW(unsigned int value);
    static const char* bitcodestr(unsigned int value);
    static const wchar_t* bitcodestrW(unsigned int value);
    static const char* bitcodevalstr(unsigned int value);
    static const wchar_t* bitcodevalstrW(unsigned int value);
    static const char* frameratestr(unsigned int value);
    static const wchar_t* frameratestrW(unsigned int value);
    static const char* posunitsstr(unsigned int value, bool longText, bool shortText);
    static const wchar_t* posunitsstrW(unsigned int value, bool longText, bool shortText);
    static const char* oriunitsstr(unsigned int value, bool longText, bool shortText);
    static const wchar_t* oriunitsstrW(unsigned int value, bool longText, bool shortText);
    static const char* filterlevstr(unsigned int value);
    static const wchar_t* filterlevstrW(unsigned int value);
    static const char* filtertarstr(unsigned int value);
    static const wchar_t* filtertarstrW(unsigned int value);
    static const char* hemispherestr(unsigned int value);
    static const wchar_t* hemispherestrW(unsigned int value);
    static const _HEMISPHERE_CONFIG* hemispherecfg(unsigned int value);
    static const char* sxhemispherestr(unsigned int value);
    static const wchar_t* sxhemispherestrW(unsigned int value);
    static const char* fttstr(unsigned int value);
    static const wchar_t* fttstrW(unsigned int value);
    static const char* ftthstr(unsigned int value);
    static const wchar_t* ftthstrW(unsigned int value);
    static const char* snsorigstr(unsigned int value);
    static const wchar_t* snsorigstrW(unsigned int value);
    static const char* stylusmodestr(unsigned int value);
    static const wchar_t* stylusmodestrW(unsigned int value);
    static const char* calcorrectstr(unsigned int value, bool shortText);
    static const wchar_t* calcorrectstrW(unsigned int value, bool shortText);
    static const char* binstr(unsigned int value, bool trueFalse);
    static const wchar_t* binstrW(unsigned int value, bool trueFalse);

    _SEUCMD_HDR hdr;
    const unsigned char* pPayload; // the caller's, read only by Prepare
    uint32_t payloadSize;
};
