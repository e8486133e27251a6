#include "platform/Console.h"

#include <atomic>
#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {
namespace {

std::atomic<void (*)()> interruptHandler{nullptr};

extern "C" void OnSigint(int) {
    if (auto handler = interruptHandler.load())
        handler();
}

} // namespace

bool PrepareProgressTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

int TerminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

void OnInterrupt(void (*handler)()) {
    interruptHandler.store(handler);
    struct sigaction action {};
    action.sa_handler = handler ? OnSigint : SIG_DFL;
    sigemptyset(&action.sa_mask);
    // The first press asks the copy to stop; the second is the usual one.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace platform
