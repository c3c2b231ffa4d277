// The process's console on Linux: its controlling terminal, /dev/tty.
#pragma once

namespace sxdiag {

// True when /dev/tty can be opened for writing (without acquiring a
// controlling terminal), i.e. the process has a console.
bool HasConsole();

// Reopens standard output on /dev/tty when the process has a console;
// returns whether it did.
bool ReopenStdoutOnTty();

} // namespace sxdiag
