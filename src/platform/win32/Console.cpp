#include "platform/Console.h"

#include <windows.h>

#include <atomic>

namespace platform {
namespace {

std::atomic<void (*)()> interruptHandler{nullptr};
std::atomic<bool> interruptedOnce{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    // The first press asks the copy to stop; the second is the usual one.
    if (interruptedOnce.exchange(true))
        return FALSE;
    if (auto handler = interruptHandler.load())
        handler();
    return TRUE;
}

} // namespace

bool PrepareProgressTerminal() {
    DWORD mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode))
        return false;
    SetConsoleOutputCP(CP_UTF8);
    return true;
}

int TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info))
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}

void OnInterrupt(void (*handler)()) {
    interruptHandler.store(handler);
    interruptedOnce.store(false);
    SetConsoleCtrlHandler(OnConsoleControl, handler ? TRUE : FALSE);
}

void IgnoreBrokenPipe() {}

void CatchTermination() {}

bool TerminationRequested() {
    return false;
}

} // namespace platform
