#include "platform/Shell.h"

#include "platform/win32/Wide.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace platform {
namespace {

// The shell may hand the verb to a COM handler; it wants COM on the calling thread.
class ComForThisCall {
public:
    ComForThisCall()
        : initialized_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComForThisCall() {
        if (initialized_)
            CoUninitialize();
    }
    ComForThisCall(const ComForThisCall&) = delete;
    ComForThisCall& operator=(const ComForThisCall&) = delete;

private:
    bool initialized_;
};

} // namespace

Status ShellOpen(const std::string& target) {
    ComForThisCall com;
    const std::wstring file = win32::ToWide(target);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No message box from the shell: a failure comes back to the caller, whose guard logs it.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info))
        return Status::Error(win32::LastErrorMessage() + ": " + target);
    return Status::Ok();
}

Status CopyFileReplacing(const std::string& from, const std::string& to) {
    // CopyFileW keeps the last write time.
    if (!CopyFileW(win32::ToWidePath(from).c_str(), win32::ToWidePath(to).c_str(), FALSE))
        return Status::Error(win32::LastErrorMessage());
    return Status::Ok();
}

bool IsUnchangedCopy(const std::string& from, const std::string& to) {
    WIN32_FILE_ATTRIBUTE_DATA source{};
    WIN32_FILE_ATTRIBUTE_DATA copy{};
    auto isFile = [](const WIN32_FILE_ATTRIBUTE_DATA& data) {
        return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    };
    return GetFileAttributesExW(win32::ToWidePath(from).c_str(), GetFileExInfoStandard, &source) &&
           GetFileAttributesExW(win32::ToWidePath(to).c_str(), GetFileExInfoStandard, &copy) &&
           isFile(source) && isFile(copy) && source.nFileSizeHigh == copy.nFileSizeHigh &&
           source.nFileSizeLow == copy.nFileSizeLow &&
           CompareFileTime(&source.ftLastWriteTime, &copy.ftLastWriteTime) == 0;
}

} // namespace platform
