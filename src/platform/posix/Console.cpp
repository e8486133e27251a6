#include "platform/Console.h"

#include <atomic>
#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {
namespace {

std::atomic<void (*)()> interruptHandler{nullptr};
std::atomic<bool> terminationRequested{false};

extern "C" void OnSigint(int) {
    if (auto handler = interruptHandler.load())
        handler();
}

extern "C" void OnTermination(int) {
    terminationRequested.store(true);
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A signal the program was started with ignored (nohup, a background job) stays ignored.
void Catch(int signal, const struct sigaction& action) {
    struct sigaction before {};
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
        return;
    ::sigaction(signal, &action, nullptr);
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
    // The first request asks the copy to stop; the second is the usual one.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int signal : kEndingSignals)
        Catch(signal, action);
}

void IgnoreBrokenPipe() {
    ::signal(SIGPIPE, SIG_IGN);
}

void CatchTermination() {
    struct sigaction action {};
    action.sa_handler = OnTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    Catch(SIGTERM, action);
    Catch(SIGHUP, action);
}

bool TerminationRequested() {
    return terminationRequested.load();
}

} // namespace platform
