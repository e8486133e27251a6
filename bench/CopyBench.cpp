// Times the copy worker on a generated job against cp, on the same files in one run.
//
//   copy_bench [DIR] [--files N] [--megabytes M] [--rounds R]
//
// Writes N files of M megabytes in all (random bytes, not sparse) under DIR (default: a new
// folder in the system's temporary folder), then, R times in turn: the worker with the real
// platform layer (every copy flushed to disk before it takes its name), `cp` of the same files,
// and `cp` followed by `sync` of the copies. Between runs the copies are removed and everything
// is synced, so no run pays for the one before. The sources stay in the page cache throughout
// (all runs read them from memory), so the figures compare writing, not reading.

#include "core/copy/CopyThread.h"
#include "support/ForwardingCopyFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

class Quiet final : public TCopyMessages {
public:
    void CMProgressPosition(int) override { ++positions; }
    void CMProgressMax(int) override {}
    void CMProgressFinish(int result) override { finish = result; }
    void CMProgressText(const std::string&) override {}
    int positions = 0;
    int finish = 0;
};

// The real file system without the flush before the rename: what the flush costs, and nothing a
// user would run.
class NoFlush final : public testsupport::ForwardingCopyFiles {
public:
    platform::Result<std::unique_ptr<platform::CopyTarget>>
    CreateTarget(platform::TargetFolder& folder, const std::string& name) override {
        auto created = real_.CreateTarget(folder, name);
        if (!created)
            return created.status();
        return std::unique_ptr<platform::CopyTarget>(std::make_unique<Target>(std::move(*created)));
    }

private:
    class Target final : public platform::CopyTarget {
    public:
        explicit Target(std::unique_ptr<platform::CopyTarget> real) : real_(std::move(real)) {}
        platform::Status Write(const std::uint8_t* from, std::size_t bytes) override {
            return real_->Write(from, bytes);
        }
        std::optional<std::size_t> MoveFrom(platform::CopySource& source,
                                            std::size_t bytes) override {
            return real_->MoveFrom(source, bytes);
        }
        platform::Status Flush() override { return platform::Status::Ok(); }
        platform::Status Close() override { return real_->Close(); }

    private:
        std::unique_ptr<platform::CopyTarget> real_;
    };
};

bool Run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void Fresh(const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    ::sync();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    fs::path base;
    std::size_t files = 200;
    std::uint64_t megabytes = 400;
    int rounds = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--files" && i + 1 < argc)
            files = std::stoul(argv[++i]);
        else if (arg == "--megabytes" && i + 1 < argc)
            megabytes = std::stoull(argv[++i]);
        else if (arg == "--rounds" && i + 1 < argc)
            rounds = std::stoi(argv[++i]);
        else
            base = arg;
    }
    const bool ownBase = base.empty();
    if (ownBase)
        base = fs::temp_directory_path() / ("kestrune-copy-bench-" + std::to_string(getpid()));
    const fs::path sources = base / "sources", out = base / "out";
    fs::create_directories(sources);

    const std::uint64_t bytesPerFile = megabytes * 1024 * 1024 / files;
    std::mt19937_64 random(42);
    std::vector<std::uint64_t> block(bytesPerFile / 8 + 1);
    std::vector<std::string> sourcePaths, cpArgs{"cp", "--"};
    for (std::size_t i = 0; i < files; ++i) {
        for (auto& word : block)
            word = random();
        const fs::path path = sources / ("track " + std::to_string(i) + ".mp3");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(block.data()),
                   static_cast<std::streamsize>(bytesPerFile));
        sourcePaths.push_back(path.string());
        cpArgs.push_back(path.string());
    }
    cpArgs.push_back(out.string());
    std::vector<std::string> syncArgs{"sync", "--data", "--"};
    for (std::size_t i = 0; i < files; ++i)
        syncArgs.push_back((out / ("track " + std::to_string(i) + ".mp3")).string());
    ::sync();
    std::printf("copy_bench: %zu files of %.2f MB, %.0f MB in all, in %s\n", files,
                static_cast<double>(bytesPerFile) / (1024 * 1024),
                static_cast<double>(bytesPerFile * files) / (1024 * 1024), base.c_str());

    // Seconds the worker takes for the whole job, or a negative value when a file was not copied.
    const auto timeWorker = [&](platform::CopyFiles& fileSystem) {
        Fresh(out);
        copy::TCopyRequest job;
        job.targetFolder = out.string();
        for (std::size_t i = 0; i < files; ++i)
            job.entries.push_back({"", sourcePaths[i], "track " + std::to_string(i) + ".mp3"});
        Quiet messages;
        TCopyThread thread(messages, fileSystem);
        const auto start = std::chrono::steady_clock::now();
        if (!thread.Start(std::move(job)).ok())
            return -1.0;
        thread.Join();
        const double seconds = Seconds(std::chrono::steady_clock::now() - start);
        return messages.finish == copy::kCopyFinished && thread.Result().Copies() == files ? seconds
                                                                                           : -1.0;
    };

    NoFlush noFlush;
    std::vector<double> worker, unflushed, cp, cpSync;
    for (int round = 0; round < rounds; ++round) {
        worker.push_back(timeWorker(platform::SystemCopyFiles()));
        unflushed.push_back(timeWorker(noFlush));
        if (worker.back() < 0 || unflushed.back() < 0) {
            std::fprintf(stderr, "copy_bench: the worker did not copy every file\n");
            return 1;
        }

        Fresh(out);
        auto start = std::chrono::steady_clock::now();
        if (!Run(cpArgs))
            return 1;
        cp.push_back(Seconds(std::chrono::steady_clock::now() - start));

        Fresh(out);
        start = std::chrono::steady_clock::now();
        if (!Run(cpArgs) || !Run(syncArgs))
            return 1;
        cpSync.push_back(Seconds(std::chrono::steady_clock::now() - start));
        std::printf("  round %d: worker %.3f s, worker without flush %.3f s, cp %.3f s, "
                    "cp + sync %.3f s\n",
                    round + 1, worker.back(), unflushed.back(), cp.back(), cpSync.back());
    }
    const double w = Median(worker), u = Median(unflushed), c = Median(cp), cs = Median(cpSync);
    std::printf("median: worker %.3f s (%.0f MB/s), worker without flush %.3f s, cp %.3f s, "
                "cp + sync %.3f s\n",
                w, static_cast<double>(bytesPerFile * files) / (1024 * 1024) / w, u, c, cs);
    std::printf("ratio worker / cp:                      %.2f\n", w / c);
    std::printf("ratio worker / cp + sync:               %.2f\n", w / cs);
    std::printf("ratio worker without flush / cp:        %.2f (the flush left out: not safe)\n",
                u / c);
    if (ownBase)
        fs::remove_all(base);
    return 0;
}
