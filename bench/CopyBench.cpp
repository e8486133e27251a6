// Times the copy worker against `cp` followed by `sync` of the copies, on generated jobs, in
// interleaved rounds of one run (`sync` of everything: one wait, the quickest way to the disk).
//
//   copy_bench [DIR] [--rounds R] [--only ROW]
//
// Rows: 10,000 files of 40 KiB and 200 files of 2 MiB (random bytes, not sparse), each with the
// sources cold (their pages evicted before each run, so the copy reads what no cache holds) and
// warm; then, where the machine allows it (root, a loop device, the blkio throttle), 200 files
// of 2 MiB read from a loop-mounted volume throttled to 30 MB/s, a player on USB 2.0, against
// reading the same files with `cat`. Between runs the copies are removed and everything synced.
#include "core/copy/CopyThread.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// Drops the files' pages from the cache, so the next read comes from the disk.
void Evict(const std::vector<std::string>& paths) {
    ::sync();
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}

struct Job {
    std::vector<std::string> sources;
    std::vector<std::string> names;
    std::uint64_t bytes = 0;
};

Job WriteSources(const fs::path& folder, std::size_t files, std::uint64_t bytesPerFile) {
    fs::create_directories(folder);
    std::mt19937_64 random(42);
    std::vector<std::uint64_t> block(bytesPerFile / 8 + 1);
    Job job;
    for (std::size_t i = 0; i < files; ++i) {
        for (auto& word : block)
            word = random();
        job.names.push_back("track " + std::to_string(i) + ".mp3");
        const fs::path path = folder / job.names.back();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(block.data()),
                   static_cast<std::streamsize>(bytesPerFile));
        job.sources.push_back(path.string());
        job.bytes += bytesPerFile;
    }
    ::sync();
    return job;
}

// Seconds the worker takes for the whole job; negative when a file was not copied.
double TimeWorker(const Job& job, const fs::path& out) {
    copy::TCopyRequest request;
    request.targetFolder = out.string();
    for (std::size_t i = 0; i < job.sources.size(); ++i)
        request.entries.push_back({"", job.sources[i], job.names[i]});
    Quiet messages;
    TCopyThread thread(messages, platform::SystemCopyFiles());
    const auto start = std::chrono::steady_clock::now();
    if (!thread.Start(std::move(request)).ok())
        return -1.0;
    thread.Join();
    const double seconds = Seconds(std::chrono::steady_clock::now() - start);
    return messages.finish == copy::kCopyFinished && thread.Result().Copies() == job.sources.size()
               ? seconds
               : -1.0;
}

double TimeCommands(const std::vector<std::vector<std::string>>& commands) {
    const auto start = std::chrono::steady_clock::now();
    for (const auto& command : commands)
        if (!Run(command))
            return -1.0;
    return Seconds(std::chrono::steady_clock::now() - start);
}

struct Row {
    const char* name;
    std::size_t files;
    std::uint64_t bytesPerFile;
    bool cold;
};

// The worker against cp + sync, or against cat where the source is the limit.
bool Compare(const char* name, const Job& job, const fs::path& out, bool cold, int rounds,
             bool againstCat) {
    std::vector<std::string> cp{"cp", "--"}, sync{"sync"}, cat{"cat", "--"};
    for (std::size_t i = 0; i < job.sources.size(); ++i) {
        cp.push_back(job.sources[i]);
        cat.push_back(job.sources[i]);
    }
    cp.push_back(out.string());
    std::vector<double> worker, reference;
    for (int round = 0; round < rounds; ++round) {
        Fresh(out);
        if (cold)
            Evict(job.sources);
        worker.push_back(TimeWorker(job, out));
        Fresh(out);
        if (cold)
            Evict(job.sources);
        if (againstCat) {
            std::vector<std::string> quiet{"sh", "-c", "exec \"$0\" \"$@\" >/dev/null"};
            quiet.insert(quiet.end(), cat.begin(), cat.end());
            reference.push_back(TimeCommands({quiet}));
        } else {
            reference.push_back(TimeCommands({cp, sync}));
        }
        if (worker.back() < 0 || reference.back() < 0) {
            std::fprintf(stderr, "copy_bench: %s: a run failed\n", name);
            return false;
        }
    }
    const double w = Median(worker), r = Median(reference);
    std::printf("%-34s worker %7.3f s   %-10s %7.3f s   ratio %.2f\n", name, w,
                againstCat ? "cat" : "cp + sync", r, w / r);
    std::fflush(stdout);
    return true;
}

// A loop-mounted ext4 volume whose reads the blkio throttle holds to 30 MB/s for this process.
class ThrottledVolume {
public:
    explicit ThrottledVolume(const fs::path& base)
        : image_(base / "volume.img"), mount_(base / "volume") {}
    ~ThrottledVolume() {
        if (!group_.empty()) {
            std::ofstream(fs::path("/sys/fs/cgroup/blkio/cgroup.procs")) << getpid();
            ::rmdir(group_.c_str());
        }
        if (mounted_)
            (void)Run({"umount", mount_.string()});
        if (!loop_.empty())
            (void)Run({"losetup", "-d", loop_});
    }
    // Why not, or empty when the volume is ready.
    std::string Prepare(const Job& job, Job& onVolume) {
        if (::geteuid() != 0)
            return "it needs root (a loop device and the blkio throttle)";
        fs::create_directories(mount_);
        if (!Run({"truncate", "-s", std::to_string(job.bytes + (256u << 20)), image_.string()}) ||
            !Run({"mkfs.ext4", "-q", "-F", image_.string()}))
            return "no ext4 image could be made";
        FILE* setup = ::popen(("losetup -f --show " + image_.string()).c_str(), "r");
        char device[64] = {};
        if (setup == nullptr || std::fgets(device, sizeof device, setup) == nullptr) {
            if (setup != nullptr)
                ::pclose(setup);
            return "no free loop device";
        }
        ::pclose(setup);
        loop_ = std::string(device, std::strcspn(device, "\n"));
        if (!Run({"mount", loop_, mount_.string()}))
            return "the loop device cannot be mounted";
        mounted_ = true;
        onVolume = job;
        for (std::size_t i = 0; i < job.sources.size(); ++i) {
            onVolume.sources[i] = (mount_ / job.names[i]).string();
            fs::copy_file(job.sources[i], onVolume.sources[i]);
        }
        ::sync();
        struct stat info {};
        if (::stat(loop_.c_str(), &info) != 0)
            return "the loop device cannot be looked at";
        const fs::path group = "/sys/fs/cgroup/blkio/kestrune-copy-bench";
        if (::mkdir(group.c_str(), 0755) != 0 && errno != EEXIST)
            return "no blkio cgroup can be made";
        group_ = group.string();
        std::ofstream(group / "blkio.throttle.read_bps_device")
            << major(info.st_rdev) << ":" << minor(info.st_rdev) << " " << 30'000'000;
        std::ofstream(group / "cgroup.procs") << getpid();
        return {};
    }

private:
    fs::path image_, mount_;
    std::string loop_, group_;
    bool mounted_ = false;
};

} // namespace

int main(int argc, char** argv) {
    fs::path base;
    int rounds = 5;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc)
            rounds = std::stoi(argv[++i]);
        else if (arg == "--only" && i + 1 < argc)
            only = argv[++i];
        else
            base = arg;
    }
    const bool ownBase = base.empty();
    if (ownBase)
        base = fs::temp_directory_path() / ("kestrune-copy-bench-" + std::to_string(getpid()));
    const fs::path out = base / "out";
    std::printf("copy_bench: medians of %d rounds in %s\n", rounds, base.c_str());
    const Row rows[] = {{"small-cold", 10'000, 40 << 10, true},
                        {"small-warm", 10'000, 40 << 10, false},
                        {"large-cold", 200, 2 << 20, true},
                        {"large-warm", 200, 2 << 20, false}};
    bool ok = true;
    for (const Row& row : rows) {
        if (!only.empty() && only != row.name)
            continue;
        const Job job = WriteSources(base / row.name, row.files, row.bytesPerFile);
        char name[80];
        std::snprintf(name, sizeof name, "%zu files of %llu KiB, %s", row.files,
                      static_cast<unsigned long long>(row.bytesPerFile >> 10),
                      row.cold ? "cold" : "warm");
        ok = Compare(name, job, out, row.cold, rounds, false) && ok;
        fs::remove_all(base / row.name);
    }
    if (only.empty() || only == "throttled") {
        const Job job = WriteSources(base / "throttled-sources", 200, 2 << 20);
        Job onVolume;
        ThrottledVolume volume(base);
        if (const std::string why = volume.Prepare(job, onVolume); !why.empty())
            std::printf("%-34s skipped: %s\n", "source throttled to 30 MB/s", why.c_str());
        else
            ok = Compare("200 files of 2 MiB, 30 MB/s source", onVolume, out, true,
                         std::min(rounds, 3), true) &&
                 ok;
    }
    if (ownBase)
        fs::remove_all(base);
    return ok ? 0 : 1;
}
