#pragma once

#include "platform/CopyFiles.h"

namespace testsupport {

// Passes every file operation of the copy worker to the real file system; a test double or a
// benchmark overrides the ones it changes.
class ForwardingCopyFiles : public platform::CopyFiles {
public:
    platform::Result<std::unique_ptr<platform::CopySource>>
    OpenSource(const std::string& path) override {
        return real_.OpenSource(path);
    }
    platform::Result<std::unique_ptr<platform::CopyTarget>>
    CreateTarget(const std::string& path) override {
        return real_.CreateTarget(path);
    }
    platform::Result<bool> RenameNoReplace(const std::string& from,
                                           const std::string& to) override {
        return real_.RenameNoReplace(from, to);
    }
    platform::Status RenameReplacing(const std::string& from, const std::string& to) override {
        return real_.RenameReplacing(from, to);
    }
    platform::Status Remove(const std::string& path) override { return real_.Remove(path); }
    bool Exists(const std::string& path) override { return real_.Exists(path); }
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        return real_.FileSize(path);
    }
    platform::Result<std::uint64_t> FreeSpace(const std::string& folder) override {
        return real_.FreeSpace(folder);
    }

protected:
    platform::CopyFiles& real_ = platform::SystemCopyFiles();
};

} // namespace testsupport
