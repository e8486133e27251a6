#pragma once

#include <string>

namespace copy {

// The worker's four reports keep the numbers of the window messages they were (WM_USER is
// 1024), for the window's dispatch and its log.
inline constexpr unsigned kWmUser = 1024;
inline constexpr unsigned kCMProgressPosition = kWmUser + 6;
inline constexpr unsigned kCMProgressMax = kWmUser + 8;
inline constexpr unsigned kCMProgressFinish = kWmUser + 16;
inline constexpr unsigned kCMProgressText = kWmUser + 18;

// The maximum the worker sends before every entry; positions run from 0 to it over the job.
inline constexpr int kProgressMax = 450;

// The finish message's value.
inline constexpr int kCopyFinished = 1; // the job ran to its end
inline constexpr int kCopyStopped = 2;  // a stop request ended it

} // namespace copy

// What the copy worker reports, one call per message, on the worker's thread. Each call must
// return only once the message has been handled: the window hands it to its own thread and
// waits (a blocking queued call), so the window may read the worker's Result and
// CurrentTarget while the worker waits inside CMProgressFinish.
class TCopyMessages {
public:
    virtual ~TCopyMessages() = default;

    // A new position, from 0 up to kProgressMax; sent when it grows.
    virtual void CMProgressPosition(int position) = 0;
    // kProgressMax, before the blocks of every entry whose source exists.
    virtual void CMProgressMax(int maximum) = 0;
    // kCopyFinished or kCopyStopped, once, as the last message of every job not abandoned.
    virtual void CMProgressFinish(int result) = 0;
    // The status text "(i/n) Copying NAME", before every entry whose source exists.
    virtual void CMProgressText(const std::string& text) = 0;
};
