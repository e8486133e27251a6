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
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        return real_.FileSize(path);
    }
    std::optional<platform::FileIdentity> Identity(const std::string& path) override {
        return real_.Identity(path);
    }
    platform::Result<std::unique_ptr<platform::TargetFolder>>
    OpenFolder(const std::string& path) override {
        return real_.OpenFolder(path);
    }
    platform::Status FolderPresent(platform::TargetFolder& folder) override {
        return real_.FolderPresent(folder);
    }
    platform::Result<std::unique_ptr<platform::CopyTarget>>
    CreateTarget(platform::TargetFolder& folder, const std::string& name) override {
        return real_.CreateTarget(folder, name);
    }
    platform::Result<bool> RenameNoReplace(platform::TargetFolder& folder, const std::string& from,
                                           const std::string& to) override {
        return real_.RenameNoReplace(folder, from, to);
    }
    platform::Status RenameReplacing(platform::TargetFolder& folder, const std::string& from,
                                     const std::string& to) override {
        return real_.RenameReplacing(folder, from, to);
    }
    platform::Status Remove(platform::TargetFolder& folder, const std::string& name) override {
        return real_.Remove(folder, name);
    }
    platform::Result<std::optional<platform::FileIdentity>>
    Lookup(platform::TargetFolder& folder, const std::string& name) override {
        return real_.Lookup(folder, name);
    }
    bool IsShortNameOfAnother(platform::TargetFolder& folder, const std::string& name) override {
        return real_.IsShortNameOfAnother(folder, name);
    }
    platform::Result<std::uint64_t> FreeSpace(platform::TargetFolder& folder) override {
        return real_.FreeSpace(folder);
    }
    platform::Result<std::size_t> RemoveLeftovers(platform::TargetFolder& folder,
                                                  const std::string& prefix,
                                                  const std::string& suffix) override {
        return real_.RemoveLeftovers(folder, prefix, suffix);
    }

protected:
    platform::CopyFiles& real_ = platform::SystemCopyFiles();
};

} // namespace testsupport
