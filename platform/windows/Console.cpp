// The process's console on Windows: its console window, made when asked and
// placed behind the window the user works in.
#include <platform/Console.h>

#include <windows.h>

#include <cstdio>

namespace sxplat {

namespace {

constexpr int kPlaceOffset = 30; // up and left of the foreground window

bool ReopenStdoutOnConout()
{
    fflush(stdout);
    return freopen("CONOUT$", "w", stdout) != nullptr;
}

} // namespace

// A console is there when its output device opens (no access asked for).
bool ReopenStdoutOnConsole()
{
    HANDLE probe = CreateFileA("CONOUT$", 0, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(probe);
    ReopenStdoutOnConout();
    return true;
}

void OpenConsoleWindow(bool place)
{
    HWND foreground = GetForegroundWindow();
    (void)AllocConsole();
    ReopenStdoutOnConout();
    HWND console = GetConsoleWindow();
    if (!console)
        return;
    // The window stays open with the program: closing it would end it.
    if (HMENU menu = GetSystemMenu(console, FALSE))
        DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
    if (!foreground)
        return;
    RECT rect;
    if (place && GetWindowRect(foreground, &rect))
        SetWindowPos(console, foreground, rect.left - kPlaceOffset, rect.top - kPlaceOffset, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);
    else
        SetWindowPos(console, foreground, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

} // namespace sxplat
