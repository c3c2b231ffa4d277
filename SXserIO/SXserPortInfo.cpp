#include <SXserIO/SXserPortInfo.h>

#include "SerTables.h"

_sx_serportinfo::_sx_serportinfo()
    : uPort(1), uPreamble(kDefaultPreamble), uBaudIdx(sxser::kDefaultBaudIdx), uParityIdx(0)
{
}

_sx_serportinfo::_sx_serportinfo(unsigned int port) : _sx_serportinfo()
{
    uPort = port;
}

_sx_serportinfo::_sx_serportinfo(unsigned int port, const std::wstring& name, const std::wstring& desc)
    : _sx_serportinfo()
{
    uPort = port;
    wsName = name;
    wsDesc = desc;
}

_sx_serportinfo::_sx_serportinfo(const _sx_serportinfo& other) : _sx_serportinfo()
{
    *this = other;
}

_sx_serportinfo& _sx_serportinfo::operator=(const _sx_serportinfo& other)
{
    if (this != &other) {
        uPort = other.uPort;
        wsName = other.wsName;
        wsDesc = other.wsDesc;
        uBaudIdx = other.uBaudIdx;
        uParityIdx = other.uParityIdx;
    }
    return *this;
}

_sx_serportinfo::~_sx_serportinfo() = default;
