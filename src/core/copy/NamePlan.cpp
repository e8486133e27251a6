#include "core/copy/NamePlan.h"

#include "core/copy/TargetNames.h"
#include "platform/Text.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <random>

namespace copy {
namespace {

#ifdef _WIN32
constexpr bool kUsuallyIgnoresCase = true;
#else
constexpr bool kUsuallyIgnoresCase = false;
#endif

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool FindIgnoresCase(platform::CopyFiles& files, platform::TargetFolder* at) {
    if (at == nullptr)
        return kUsuallyIgnoresCase;
    platform::TargetFolder& folder = *at;
    const std::string probe = TemporaryName();
    auto created = files.CreateTarget(folder, probe);
    if (!created)
        return kUsuallyIgnoresCase;
    (void)(*created)->Close();
    // The name is new and random: its upper-case form can only find the probe itself. Not
    // told by file identity, which some FUSE file systems give per name, not per file.
    const auto upper = files.Lookup(folder, AsciiUpper(probe));
    (void)files.Remove(folder, probe);
    return upper && upper->has_value();
}

} // namespace

// The token keeps two programs (or two jobs) apart.
std::string TemporaryName() {
    static const std::string token = [] {
        std::random_device seed;
        const std::uint64_t value = (static_cast<std::uint64_t>(seed()) << 32) ^ seed();
        char text[17];
        for (int i = 15; i >= 0; --i)
            text[15 - i] = "0123456789abcdef"[(value >> (i * 4)) & 0xF];
        text[16] = '\0';
        return std::string(text);
    }();
    static std::atomic<unsigned> counter{0};
    return kTemporaryPrefix + token + "+" + std::to_string(counter++) + kTemporarySuffix;
}

TNamePlanner::TNamePlanner(platform::CopyFiles& files, platform::TargetFolder* folder)
    : files_(files), folder_(folder) {}

bool TNamePlanner::IgnoresCase() {
    if (!ignoresCase_)
        ignoresCase_ = FindIgnoresCase(files_, folder_);
    return *ignoresCase_;
}

platform::Result<std::optional<platform::FileIdentity>>
TNamePlanner::Lookup(const std::string& name) {
    if (folder_ == nullptr)
        return std::optional<platform::FileIdentity>();
    return files_.Lookup(*folder_, name);
}

bool TNamePlanner::Claimed(const std::string& name) {
    if (claimed_.contains(name))
        return true;
    return claimedFolded_.contains(platform::FoldFileNameCase(name)) && IgnoresCase();
}

// A name the folder cannot say anything about is no name to write to.
bool TNamePlanner::Free(const std::string& name, bool overwrite) {
    if (Claimed(name))
        return false;
    const auto there = Lookup(name);
    if (!there)
        return false;
    // Overwriting replaces a file of this very name, never the one a short name leads to.
    return !there->has_value() ||
           (overwrite && !Holds(**there) && !files_.IsShortNameOfAnother(*folder_, name));
}

std::optional<std::string> TNamePlanner::Choose(const std::string& name, bool overwrite) {
    if (Free(name, overwrite))
        return name;
    return Numbered(name, overwrite);
}

// The numbers given for a name earlier in the job stay claimed, so the search goes on from the
// last: a thousand tracks of one title cost a thousand looks, not half a million.
std::optional<std::string> TNamePlanner::Numbered(const std::string& name, bool overwrite) {
    unsigned& next = nextNumber_[name];
    const unsigned first = std::max(next, 1u);
    unsigned tried = 0;
    auto found = NumberedPathName(
        name,
        [&](const std::string& candidate) {
            ++tried;
            return !Free(candidate, overwrite);
        },
        first);
    if (found)
        next = first + tried - 1;
    return found;
}

std::optional<std::string>
TNamePlanner::FindSame(const std::string& name,
                       const std::function<bool(const std::string&)>& same) {
    std::optional<std::string> found;
    // True while the search goes on: the name is claimed, or taken by another file.
    auto goesOn = [&](const std::string& candidate) {
        if (Claimed(candidate))
            return true;
        const auto there = Lookup(candidate);
        if (!there || !there->has_value())
            return false;
        if (same(candidate)) {
            found = candidate;
            return false;
        }
        return true;
    };
    if (goesOn(name))
        (void)NumberedPathName(name, goesOn);
    return found;
}

void TNamePlanner::Claim(const std::string& name) {
    claimed_.insert(name);
    claimedFolded_.insert(platform::FoldFileNameCase(name));
}

void TNamePlanner::Own(const std::string& name) {
    if (const auto there = Lookup(name); there && *there)
        owned_.insert(**there);
}

bool TNamePlanner::Owned(const std::string& name) {
    const auto there = Lookup(name);
    return there && *there && Holds(**there);
}

bool TNamePlanner::Holds(const platform::FileIdentity& file) const {
    return owned_.contains(file);
}

} // namespace copy
