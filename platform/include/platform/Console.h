// The process's console: where standard output becomes visible.
#pragma once

namespace sxplat {

// When the process has a console, reopens standard output on it and
// returns true; false (standard output unchanged) when it has none.
bool ReopenStdoutOnConsole();

// Gives the process a console window for standard output and reopens
// standard output on it; with place, near the window in the foreground.
// Where there is no console window to create, the console the process has
// (if any) serves. Never fails.
void OpenConsoleWindow(bool place);

} // namespace sxplat
