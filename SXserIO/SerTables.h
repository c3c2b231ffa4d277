// The serial transport's fixed tables: baud rates, parity names and the
// names of its result codes.
#pragma once

namespace sxser {

constexpr unsigned int kBaudTable[16] = {
    1200u,   2400u,   4800u,   9600u,    19200u,   38400u,   57600u,      115200u,
    230400u, 460800u, 921600u, 1843200u, 3686400u, 7372800u, 4294967295u, 0u,
};
// Indices above this one open at its rate.
constexpr unsigned int kMaxOpenBaudIdx = 13;
constexpr unsigned int kDefaultBaudIdx = 7;

constexpr const wchar_t* kParityNamesW[4] = {L"NONE", L"ODD", L"EVEN", L"undefined"};

constexpr int kResultNameCount = 7;
constexpr const char* kResultNames[kResultNameCount] = {
    "SXIO_NOERR", "SXIO_TIMEOUT", "SXIO_NORESP", "SXIO_SETUPERR", "SXIO_SYSERR", "SXIO_FRAMERR", "SXIO_GENERAL_ERROR",
};
constexpr const wchar_t* kResultNamesW[kResultNameCount] = {
    L"SXIO_NOERR",  L"SXIO_TIMEOUT", L"SXIO_NORESP",        L"SXIO_SETUPERR",
    L"SXIO_SYSERR", L"SXIO_FRAMERR", L"SXIO_GENERAL_ERROR",
};

constexpr unsigned int OpenBaud(unsigned int idx)
{
    return kBaudTable[idx > kMaxOpenBaudIdx ? kMaxOpenBaudIdx : idx];
}

} // namespace sxser
