#pragma once

#include "support/ForwardingCopyFiles.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace testsupport {

// The real file system, but a source that `holds` picks stops after its first piece while
// the copy is held, until released: a copy job is held part-way where a test wants it. And every
// size can be made to fail, as a worker run that meets an error.
class HeldCopyFiles final : public ForwardingCopyFiles {
public:
    // Set before the job; asked on the worker's thread for every source opened.
    std::function<bool(const std::string& path)> holds;
    std::atomic<bool> failSizes{false};
    // A slow disk: removing a file takes this long.
    std::atomic<int> removeMilliseconds{0};

    void Hold() {
        std::lock_guard lock(mutex_);
        released_ = false;
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        changed_.notify_all();
    }
    bool Held() const { return held_.load(); }

    platform::Result<std::unique_ptr<platform::CopySource>>
    OpenSource(const std::string& path) override {
        auto opened = real_.OpenSource(path);
        if (!opened || !holds || !holds(path))
            return opened;
        return std::unique_ptr<platform::CopySource>(
            std::make_unique<Source>(*this, std::move(*opened)));
    }
    platform::Status Remove(platform::TargetFolder& folder, const std::string& name) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(removeMilliseconds.load()));
        return real_.Remove(folder, name);
    }
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        if (failSizes.load())
            throw std::runtime_error("the player stopped answering");
        return real_.FileSize(path);
    }

private:
    class Source final : public platform::CopySource {
    public:
        Source(HeldCopyFiles& owner, std::unique_ptr<platform::CopySource> real)
            : owner_(owner), real_(std::move(real)) {}
        platform::Result<std::size_t> Read(std::uint8_t* into, std::size_t bytes) override {
            if (reads_++ > 0)
                owner_.WaitForRelease();
            return real_->Read(into, bytes);
        }
        std::uint64_t Size() const override { return real_->Size(); }
        platform::Status Close() override { return real_->Close(); }

    private:
        HeldCopyFiles& owner_;
        std::unique_ptr<platform::CopySource> real_;
        int reads_ = 0;
    };

    void WaitForRelease() {
        std::unique_lock lock(mutex_);
        held_.store(!released_);
        changed_.wait(lock, [this] { return released_; });
        held_.store(false);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = true;
    std::atomic<bool> held_{false};
};

} // namespace testsupport
