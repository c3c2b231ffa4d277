// _sx_serportinfo: one serial port as listed, or the port that is open.
#pragma once

#include <SXserIO/SXserIOdefs.h>

#include <string>

struct SXSERIO_API _sx_serportinfo {
    // "SXR" and a zero byte, in memory order.
    static constexpr unsigned int kDefaultPreamble = 0x00525853u;

    unsigned int uPort;
    std::wstring wsName;
    std::wstring wsDesc;
    unsigned int uPreamble;
    unsigned int uBaudIdx : 4;
    unsigned int uParityIdx : 2;

    _sx_serportinfo();
    explicit _sx_serportinfo(unsigned int port);
    _sx_serportinfo(unsigned int port, const std::wstring& name, const std::wstring& desc);
    // Copies never carry the preamble: a copy gets the default one, an
    // assigned record keeps its own.
    _sx_serportinfo(const _sx_serportinfo& other);
    _sx_serportinfo& operator=(const _sx_serportinfo& other);
    ~_sx_serportinfo();
};
