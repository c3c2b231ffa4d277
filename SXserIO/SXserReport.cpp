// CSXserIO: the text reports of a port, of the open port and of the list.
#include <SXserIO/SXserIO.h>

#include "SerTables.h"

#include <new>
#include <string>

namespace {

// The report is written over text from its first character, as a stream
// started on text would: earlier content longer than the report remains.
void WriteOver(std::wstring& text, const std::wstring& report)
{
    if (text.size() > report.size())
        text.replace(0, report.size(), report);
    else
        text = report;
}

std::wstring PortLine(const _sx_serportinfo& info)
{
    return L"port : " + std::to_wstring(info.uPort) + L" : " + info.wsName + L" : " + info.wsDesc;
}

} // namespace

void CSXserIO::PortReport(_sx_serportinfo& info, std::wstring& text)
{
    try {
        WriteOver(text, PortLine(info));
    } catch (...) {
    }
}

void CSXserIO::DevReport(std::wstring& text) const
{
    try {
        const _sx_serportinfo info(m_info);
        const unsigned int parity = info.uParityIdx;
        WriteOver(text, PortLine(info) + L"\n" + L"baud : " + std::to_wstring(sxser::kBaudTable[info.uBaudIdx]) +
                            L" parity : " + sxser::kParityNamesW[parity & 3] + L"\n");
    } catch (...) {
    }
}

void CSXserIO::PortListReport(std::wstring& text)
{
    try {
        unsigned int n = 0;
        if (ListSerPorts(nullptr, n) != 0) {
            text = L"Error listing ports.";
            return;
        }
        if (n == 0) {
            text = L"No serial ports detected";
            return;
        }
        _sx_serportinfo* list = new (std::nothrow) _sx_serportinfo[n + 1];
        if (!list) {
            text = L"Error listing ports.";
            return;
        }
        unsigned int count = n + 1;
        if (ListSerPorts(list, count) != 0) {
            text = L"Error listing ports.";
        } else {
            // The list may have changed between the two calls.
            const unsigned int listed = count < n + 1 ? count : n + 1;
            for (unsigned int i = 0; i < listed; ++i) {
                std::wstring line;
                PortReport(list[i], line);
                text += line;
                text += L"\r\n";
            }
        }
        delete[] list;
    } catch (...) {
    }
}
