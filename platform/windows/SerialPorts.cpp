#include "SerialPortsWindows.h"

#include <platform/TextConv.h>

#include <windows.h>

#include <setupapi.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>

namespace sxplat {

namespace {

constexpr const char* kPortsVariable = "SXSERIO_PORTS";
constexpr const wchar_t* kDeviceMapKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const wchar_t* kPortNameValue = L"PortName";
constexpr const char* kDevicePathPrefix = "\\\\.\\";
// At most this many characters of a listed name are kept.
constexpr size_t kMaxNameChars = 19;

// The device interface class of serial ports.
const GUID kComPortClass = {0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// A string value (plain or expandable) of the key, its terminator added
// when the stored value lacks one; false for anything else.
bool ReadString(HKEY key, const wchar_t* name, std::wstring& value)
{
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || bytes % sizeof(wchar_t) != 0)
        return false;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &bytes) != ERROR_SUCCESS)
        return false;
    text.resize(std::min(bytes / sizeof(wchar_t), text.size()));
    value.assign(text.c_str());
    return true;
}

std::wstring Description(HDEVINFO set, SP_DEVINFO_DATA& info)
{
    DWORD type = 0;
    wchar_t text[256] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_DEVICEDESC, &type, reinterpret_cast<BYTE*>(text),
                                           sizeof text - sizeof(wchar_t), nullptr) ||
        type != REG_SZ)
        return std::wstring();
    return text;
}

bool HasNumber(const std::vector<PortEntry>& ports, unsigned int number)
{
    return std::any_of(ports.begin(), ports.end(), [&](const PortEntry& p) { return p.number == number; });
}

// The present serial ports of the device-setup service, in its order.
bool ListSetupPorts(std::vector<PortEntry>& out)
{
    HDEVINFO set = SetupDiGetClassDevsW(&kComPortClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return false;
    SP_DEVINFO_DATA info;
    info.cbSize = sizeof info;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        std::wstring name;
        const bool named = ReadString(key, kPortNameValue, name);
        RegCloseKey(key);
        const unsigned int number = named && name.size() > 3 ? ComNumber(name) : 0;
        if (number == 0)
            continue;
        name.resize(std::min(name.size(), kMaxNameChars));
        out.push_back({number, NarrowBytewise(name), NarrowBytewise(Description(set, info))});
    }
    SetupDiDestroyDeviceInfoList(set);
    return true;
}

} // namespace

unsigned int ComNumber(const std::wstring& name)
{
    if (name.size() < 4 || std::towupper(name[0]) != L'C' || std::towupper(name[1]) != L'O' ||
        std::towupper(name[2]) != L'M')
        return 0;
    unsigned long number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (name[i] < L'0' || name[i] > L'9' || number > 0xFFFFFFFu)
            return 0;
        number = number * 10 + static_cast<unsigned long>(name[i] - L'0');
    }
    return static_cast<unsigned int>(number);
}

void ListPortsFromText(const char* text, std::vector<PortEntry>& out)
{
    out.clear();
    const std::string all(text ? text : "");
    const std::string prefix(kDevicePathPrefix);
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(':', start);
        if (end == std::string::npos)
            end = all.size();
        std::string name = all.substr(start, end - start);
        if (name.compare(0, prefix.size(), prefix) == 0)
            name.erase(0, prefix.size());
        const unsigned int number = ComNumber(std::wstring(name.begin(), name.end()));
        if (number != 0)
            out.push_back({number, name, std::string()});
        start = end + 1;
    }
}

void AddDeviceMapPorts(std::vector<PortEntry>& out)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDeviceMapKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    std::vector<PortEntry> extra;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[256];
        DWORD nameChars = sizeof valueName / sizeof valueName[0];
        if (RegEnumValueW(key, i, valueName, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::wstring port;
        if (!ReadString(key, valueName, port))
            continue;
        const unsigned int number = ComNumber(port);
        if (number == 0 || HasNumber(out, number) || HasNumber(extra, number))
            continue;
        port.resize(std::min(port.size(), kMaxNameChars));
        extra.push_back({number, NarrowBytewise(port), std::string()});
    }
    RegCloseKey(key);
    std::sort(extra.begin(), extra.end(), [](const PortEntry& a, const PortEntry& b) { return a.number < b.number; });
    out.insert(out.end(), extra.begin(), extra.end());
}

bool ListSerialPorts(std::vector<PortEntry>& out)
{
    try {
        out.clear();
        if (const char* text = std::getenv(kPortsVariable)) {
            ListPortsFromText(text, out);
            return true;
        }
        if (!ListSetupPorts(out))
            return false;
        AddDeviceMapPorts(out);
        return true;
    } catch (...) {
        out.clear();
        return false;
    }
}

// A port opens by its number whether or not a list names it.
bool SerialPortPath(unsigned int number, std::string& path)
{
    try {
        path = kDevicePathPrefix + std::string("COM") + std::to_string(number);
        return true;
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
}

} // namespace sxplat
