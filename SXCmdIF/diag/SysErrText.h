// Texts for system error codes and the time stamp of frame traces.
#pragma once

#include <string>

// The Windows Sockets name of a code (10035 to 10071, 10091 to 10105), else
// "WSAE NOT DEFINED".
const char* trWsaErrStr(int code);

// The local date and time now, "yy/mm/dd hh:mm:ss".
std::string trDateTime();

// The system's message for a system error code; for a code the system does
// not know, "Non-Windows system error 0x<code>".
std::string trSysErrText(unsigned int code);
