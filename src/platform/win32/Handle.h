#pragma once

#include <windows.h>

namespace platform::win32 {

// A file handle closed when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Gives the handle away: it is no longer closed here.
    HANDLE Release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    // Closes now, so the file can be renamed; false when the close itself failed (the reason in
    // GetLastError). A handle already closed or given away closes without failing.
    bool Close() {
        const HANDLE handle = Release();
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != FALSE;
    }

private:
    HANDLE handle_;
};

} // namespace platform::win32
