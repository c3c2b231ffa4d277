// CSXserIO: listing, discovering and opening ports, and the line setup.
#include <SXserIO/SXserIO.h>

#include "SerTables.h"
#include "SerText.h"
#include "SerTrace.h"
#include "SerialLinux.h"
#include "SerialPorts.h"

#include <cerrno>
#include <cstdio>
#include <new>
#include <vector>

namespace {

// Lists the ports; false when they cannot be listed (or no memory).
bool ListAll(std::vector<sxser::PortEntry>& ports)
{
    try {
        return sxser::ListPorts(ports);
    } catch (...) {
        ports.clear();
        return false;
    }
}

} // namespace

int CSXserIO::ListSerPorts(_sx_serportinfo* const list, unsigned int& count)
{
    SXSER_ENTER();
    std::vector<sxser::PortEntry> ports;
    if (!ListAll(ports))
        return -1;
    try {
        if (list) {
            for (size_t i = 0; i < ports.size() && i < count; ++i)
                list[i] = _sx_serportinfo(ports[i].number, sxser::Widen(ports[i].path), sxser::Widen(ports[i].desc));
        }
    } catch (...) {
        return -1;
    }
    count = static_cast<unsigned int>(ports.size());
    SXSER_LEAVE();
    return 0;
}

int CSXserIO::DiscoverPort()
{
    SXSER_ENTER();
    std::vector<sxser::PortEntry> ports;
    if (!ListAll(ports))
        return -1;
    // An empty list is a failure: 0 would count as connected.
    int result = -1;
    for (const sxser::PortEntry& port : ports) {
        iodbg::BxDebug::BXDOUT1("%s : Trying port %d : %s\r\n ..", "CSXserIO::DiscoverPort", port.number,
                                port.path.c_str());
        result = Open(port.number);
        if (result == 0) {
            try {
                m_info.wsDesc = sxser::Widen(port.desc);
                m_info.wsName = sxser::Widen(port.path);
            } catch (...) {
                // The port is open; only its texts are missing.
            }
            m_info.uBaudIdx = m_uBaudIdx & 0xF;
            m_info.uParityIdx = m_ucParityIdx & 3;
            return 0;
        }
    }
    SXSER_LEAVE();
    return result;
}

int CSXserIO::Open(unsigned int port)
{
    SXSER_ENTER();
    if (m_hCom >= 0) {
        // Nothing may go on reading the descriptor that is closed here.
        StopContThread();
        CloseHandles();
    }

    std::vector<sxser::PortEntry> ports;
    const sxser::PortEntry* entry = nullptr;
    if (ListAll(ports)) {
        for (const sxser::PortEntry& p : ports)
            if (p.number == port) {
                entry = &p;
                break;
            }
    }
    const char* path = entry ? entry->path.c_str() : "";
    const int fd = entry ? sxser::OpenPort(path) : -1;
    if (fd < 0) {
        if (!entry)
            errno = ENODEV;
        const int err = errno;
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::Open : CreateFile %s Result INVALID_HANDLE_VALUE Error %d \n", path, err);
        SXSER_LEAVE();
        return SXIO_SYSERR;
    }

    m_hCom = fd;
    int result = SetupSerComm(m_hCom);
    if (result == 0)
        result = InitHandles(m_hCom);
    if (result == 0)
        result = FlushComm();
    if (result == 0) {
        try {
            m_info = _sx_serportinfo(port, sxser::Widen(entry->path), std::wstring());
        } catch (...) {
            result = -1;
        }
    }
    if (result == 0) {
        m_info.uBaudIdx = m_uBaudIdx & 0xF;
        m_info.uParityIdx = m_ucParityIdx & 3;
        iodbg::BxDebug::BXDOUT1("COM Port %d : %s Open : BaudRate %d, Parity %d\r\n", port, path,
                                static_cast<int>(sxser::OpenBaud(m_uBaudIdx & 0xF)), m_ucParityIdx);
    } else {
        CloseHandles();
    }
    SXSER_LEAVE();
    return result;
}

int CSXserIO::SetupSerComm(int handle)
{
    // Event mask and queue sizes have no counterpart here: the kernel's
    // buffers serve, and poll() waits for received characters.
    _SX_DCB dcb;
    if (!sxser::GetCommState(handle, dcb))
        return -1;
    DumpDCB("CSXserIO::SetupSerCommPRE", dcb);

    const unsigned int baud = sxser::OpenBaud(m_uBaudIdx & 0xF);
    dcb.BaudRate = baud;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = SXDCB_LINE_ENABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fRtsControl = SXDCB_LINE_ENABLE;
    dcb.fAbortOnError = 0;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.ByteSize = 8;
    dcb.Parity = m_ucParityIdx;
    dcb.StopBits = SXDCB_ONESTOPBIT;
    if (!sxser::SetCommState(handle, dcb)) {
        iodbg::BxDebug::BXDOUT5("\r\n%s : ::SetCommState Error Setting BaudRate to %d, Parity to %d\r\n",
                                "CSXserIO::SetupSerComm", static_cast<int>(baud), m_ucParityIdx);
        return -1;
    }
    if (!sxser::GetCommState(handle, dcb)) {
        iodbg::BxDebug::BXDOUT5("\r\n%s : ::GetCommState Error \r\n", "CSXserIO::SetupSerComm");
        return -1;
    }
    DumpDCB("BxCommSer::SetupSerComm POST", dcb);
    // The time-outs (a read returns what is waiting or waits 100 ms for the
    // first byte; a write waits 500 ms) are those of the reads and writes of
    // the serial layer.
    return 0;
}

int CSXserIO::InitHandles(int handle)
{
    m_hCom = handle;
    m_hReadEvent = sxser::CreateEvent();
    if (m_hReadEvent < 0) {
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::InitHandles : CreateEvent m_hReadEvent Error ");
        return -1;
    }
    m_hWriteEvent = sxser::CreateEvent();
    if (m_hWriteEvent < 0) {
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::InitHandles : CreateEvent m_hWriteEvent Error ");
        return -1;
    }
    return 0;
}

int CSXserIO::FlushComm()
{
    m_nPushBack = 0;
    m_nAheadPos = m_nAheadLen = 0;
    m_nSearchFrom = 0;
    if (!sxser::PurgeComm(m_hCom)) {
        const int err = errno;
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::FlushComm : PurgeComm Result %d : %s\n", err, "TCFLSH TCIOFLUSH");
        return -1;
    }
    return 0;
}

void CSXserIO::CloseHandles()
{
    sxser::ClosePort(m_hCom);
    sxser::CloseEvent(m_hReadEvent);
    sxser::CloseEvent(m_hWriteEvent);
    m_hCom = -1;
    m_hReadEvent = -1;
    m_hWriteEvent = -1;
    m_nPushBack = 0;
    m_nAheadPos = m_nAheadLen = 0;
    m_nSearchFrom = 0;
}

namespace {

enum DcbKind { kNumber, kChar };

struct DcbLine {
    const char* decl; // type and name
    const char* comment;
    DcbKind kind;
};

constexpr DcbLine kDcbLines[] = {
    {"DWORD DCBlength", "sizeof(DCB)", kNumber},
    {"DWORD BaudRate", "Baudrate", kNumber},
    {"DWORD fBinary", "Binary mode, no EOF check", kNumber},
    {"DWORD fParity", "Enable parity checking", kNumber},
    {"DWORD fOutxCtsFlow", "CTS handshaking on output", kNumber},
    {"DWORD fOutxDsrFlow", "DSR handshaking on output", kNumber},
    {"DWORD fDtrControl", "DTR flow control", kNumber},
    {"DWORD fDsrSensitivity", "DSR sensitivity", kNumber},
    {"DWORD fTXContinueOnXoff", "Continue TX when X-OFF sent", kNumber},
    {"DWORD fOutX", "Enable output X-ON/X-OFF", kNumber},
    {"DWORD fInX", "Enable input X-ON/X-OFF", kNumber},
    {"DWORD fErrorChar", "Enable error replacement", kNumber},
    {"DWORD fNull", "Enable null stripping", kNumber},
    {"DWORD fRtsControl", "RTS flow control", kNumber},
    {"DWORD fAbortOnError", "Abort reads and writes on error", kNumber},
    {"DWORD fDummy2", "Reserved", kNumber},
    {"WORD wReserved", "Not currently used", kNumber},
    {"WORD XonLim", "Transmit X-ON threshold", kNumber},
    {"WORD XoffLim", "Transmit X-OFF threshold", kNumber},
    {"BYTE ByteSize", "Number of bits/byte, 4-8", kNumber},
    {"BYTE Parity", "0-4=None,Odd,Even,Mark,Space", kNumber},
    {"BYTE StopBits", "0,1,2 = 1, 1.5, 2", kNumber},
    {"char XonChar", "Tx and Rx X-ON character", kChar},
    {"char XoffChar", "Tx and Rx X-OFF character", kChar},
    {"char ErrorChar", "Error replacement character", kChar},
    {"char EofChar", "End of input character", kChar},
    {"char EvtChar", "Received event character", kChar},
    {"WORD wReserved1", "Fill for now", kChar},
};
constexpr int kDcbLineCount = sizeof kDcbLines / sizeof kDcbLines[0];
constexpr int kDcbLinesPerCall = 4;

unsigned int DcbValue(const _SX_DCB& d, int i)
{
    switch (i) {
    case 0: return d.DCBlength;
    case 1: return d.BaudRate;
    case 2: return d.fBinary;
    case 3: return d.fParity;
    case 4: return d.fOutxCtsFlow;
    case 5: return d.fOutxDsrFlow;
    case 6: return d.fDtrControl;
    case 7: return d.fDsrSensitivity;
    case 8: return d.fTXContinueOnXoff;
    case 9: return d.fOutX;
    case 10: return d.fInX;
    case 11: return d.fErrorChar;
    case 12: return d.fNull;
    case 13: return d.fRtsControl;
    case 14: return d.fAbortOnError;
    case 15: return d.fDummy2;
    case 16: return d.wReserved;
    case 17: return d.XonLim;
    case 18: return d.XoffLim;
    case 19: return d.ByteSize;
    case 20: return d.Parity;
    case 21: return d.StopBits;
    case 22: return static_cast<unsigned char>(d.XonChar);
    case 23: return static_cast<unsigned char>(d.XoffChar);
    case 24: return static_cast<unsigned char>(d.ErrorChar);
    case 25: return static_cast<unsigned char>(d.EofChar);
    case 26: return static_cast<unsigned char>(d.EvtChar);
    default: return d.wReserved1;
    }
}

} // namespace

void CSXserIO::DumpDCB(const char* label, _SX_DCB& dcb)
{
    if (iodbg::BxDebug::BXDlev() <= 5)
        return;
    iodbg::BxDebug::BXDOUT5("%s DCB\n", label);
    char text[kDcbLinesPerCall * 96];
    for (int first = 0; first < kDcbLineCount; first += kDcbLinesPerCall) {
        int n = 0;
        for (int i = first; i < first + kDcbLinesPerCall && i < kDcbLineCount; ++i) {
            const DcbLine& line = kDcbLines[i];
            const unsigned int value = DcbValue(dcb, i);
            if (line.kind == kNumber)
                n += snprintf(text + n, sizeof text - n, "\t%-27s= %2d;    // %-35s\n", line.decl,
                              static_cast<int>(value), line.comment);
            else
                n += snprintf(text + n, sizeof text - n, "\t%-27s= %#2x     // %-35s\n", line.decl, value,
                              line.comment);
        }
        iodbg::BxDebug::BXDOUT5("%s", text);
    }
}
