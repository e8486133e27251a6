#pragma once

#include "support/ForwardingCopyFiles.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace testsupport {

// The real file system, with failures on demand: a read or a write that fails once a number of
// bytes of the file has passed, a free space that is small or cannot be asked, the flush or the
// naming of the n-th file created (counted from 0). It counts the files it has open, so a test
// can see that every one was closed, and the files named before they were flushed.
class FaultyFiles final : public ForwardingCopyFiles {
public:
    std::optional<std::uint64_t> failReadAfter;  // bytes of each source
    std::optional<std::uint64_t> failWriteAfter; // bytes of each target
    std::optional<platform::Result<std::uint64_t>> freeSpace;
    std::optional<int> failFlushOf;
    std::optional<int> failNamingOf;
    std::atomic<int> openFiles{0};
    std::atomic<int> namedUnflushed{0};

    platform::Result<std::unique_ptr<platform::CopySource>>
    OpenSource(const std::string& path) override {
        auto opened = real_.OpenSource(path);
        if (!opened)
            return opened.status();
        return std::unique_ptr<platform::CopySource>(
            std::make_unique<Source>(*this, std::move(*opened)));
    }
    platform::Result<std::unique_ptr<platform::CopyTarget>>
    CreateTarget(platform::TargetFolder& folder, const std::string& name) override {
        auto created = real_.CreateTarget(folder, name);
        if (!created)
            return created.status();
        std::lock_guard lock(mutex_);
        numbers_[name] = created_;
        return std::unique_ptr<platform::CopyTarget>(
            std::make_unique<Target>(*this, std::move(*created), name, created_++));
    }
    platform::Result<bool> RenameNoReplace(platform::TargetFolder& folder, const std::string& from,
                                           const std::string& to) override {
        if (auto refused = BeforeNaming(from); !refused)
            return refused;
        return real_.RenameNoReplace(folder, from, to);
    }
    platform::Status RenameReplacing(platform::TargetFolder& folder, const std::string& from,
                                     const std::string& to) override {
        if (auto refused = BeforeNaming(from); !refused)
            return refused;
        return real_.RenameReplacing(folder, from, to);
    }
    platform::Result<std::uint64_t> FreeSpace(platform::TargetFolder& folder) override {
        return freeSpace ? *freeSpace : real_.FreeSpace(folder);
    }

private:
    // What is left of the budget of the bytes asked for, and spending it.
    static std::size_t Allowed(const std::optional<std::uint64_t>& budget, std::size_t bytes) {
        return budget ? static_cast<std::size_t>(std::min<std::uint64_t>(*budget, bytes)) : bytes;
    }
    static void Spend(std::optional<std::uint64_t>& budget, std::size_t bytes) {
        if (budget)
            *budget -= bytes;
    }

    platform::Status BeforeNaming(const std::string& from) {
        std::lock_guard lock(mutex_);
        if (!flushed_.contains(from))
            ++namedUnflushed;
        if (failNamingOf && numbers_[from] == *failNamingOf)
            return platform::Status::Error("Permission denied");
        return platform::Status::Ok();
    }

    // A real file of the double's, counted while open, with its own budget.
    template <typename Real> class Counted {
    protected:
        Counted(FaultyFiles& owner, std::unique_ptr<Real> real, std::optional<std::uint64_t> budget)
            : owner_(owner), real_(std::move(real)), budget_(budget) {
            ++owner_.openFiles;
        }
        ~Counted() { CloseOnce(); }
        platform::Status CloseOnce() {
            if (!open_)
                return platform::Status::Ok();
            open_ = false;
            --owner_.openFiles;
            return real_->Close();
        }

        FaultyFiles& owner_;
        std::unique_ptr<Real> real_;
        std::optional<std::uint64_t> budget_;
        bool open_ = true;
    };

    class Source final : public platform::CopySource, Counted<platform::CopySource> {
    public:
        Source(FaultyFiles& owner, std::unique_ptr<platform::CopySource> real)
            : Counted(owner, std::move(real), owner.failReadAfter) {}
        platform::Result<std::size_t> Read(std::uint8_t* into, std::size_t bytes) override {
            const std::size_t allowed = Allowed(budget_, bytes);
            if (allowed > 0 || bytes == 0) {
                auto got = real_->Read(into, allowed);
                if (got)
                    Spend(budget_, *got);
                return got;
            }
            // Past the budget: the end of the file still reads as the end.
            auto more = real_->Read(into, 1);
            if (more && *more == 0)
                return more;
            return platform::Status::Error("Input/output error");
        }
        std::uint64_t Size() const override { return real_->Size(); }
        platform::Status Close() override { return CloseOnce(); }

        platform::CopySource& Real() { return *real_; }
        std::optional<std::uint64_t>& Budget() { return budget_; }
    };

    class Target final : public platform::CopyTarget, Counted<platform::CopyTarget> {
    public:
        Target(FaultyFiles& owner, std::unique_ptr<platform::CopyTarget> real, std::string path,
               int number)
            : Counted(owner, std::move(real), owner.failWriteAfter), path_(std::move(path)),
              number_(number) {}
        platform::Status Write(const std::uint8_t* from, std::size_t bytes) override {
            const std::size_t allowed = Allowed(budget_, bytes);
            if (auto written = real_->Write(from, allowed); !written)
                return written;
            Spend(budget_, allowed);
            if (allowed < bytes)
                return platform::Status::Error("No space left on device");
            return platform::Status::Ok();
        }
        // Moves within both budgets; past either, Read or Write meets the failure.
        std::optional<std::size_t> MoveFrom(platform::CopySource& source,
                                            std::size_t bytes) override {
            auto& from = static_cast<Source&>(source);
            const std::size_t allowed =
                std::min(Allowed(from.Budget(), bytes), Allowed(budget_, bytes));
            if (allowed == 0)
                return std::nullopt;
            auto moved = real_->MoveFrom(from.Real(), allowed);
            if (moved) {
                Spend(from.Budget(), *moved);
                Spend(budget_, *moved);
            }
            return moved;
        }
        platform::Status Flush() override {
            if (owner_.failFlushOf == number_)
                return platform::Status::Error("Input/output error");
            auto flushed = real_->Flush();
            if (flushed) {
                std::lock_guard lock(owner_.mutex_);
                owner_.flushed_.insert(path_);
            }
            return flushed;
        }
        platform::Status Close() override { return CloseOnce(); }

    private:
        std::string path_;
        int number_;
    };

    std::mutex mutex_;
    int created_ = 0;
    std::map<std::string, int> numbers_; // temporary names and their numbers
    std::set<std::string> flushed_;
};

} // namespace testsupport
