#pragma once

#include "platform/CopyFiles.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

namespace copy {

// The names of the files a job writes while it copies: each begins with the prefix and ends with
// the suffix, and holds a '+', which the file-name rule never leaves in a copy's name.
inline constexpr char kTemporaryPrefix[] = "~kestrune+";
inline constexpr char kTemporarySuffix[] = ".part";
std::string TemporaryName();

// Chooses the names the copies of one job take in one folder. Whether a name is taken is asked
// of the folder itself (a folder that ignores letter case takes "Drive" for "drive"); a name an
// earlier entry of the job has claimed counts as taken too, compared as the folder compares
// names, so the plan of a job equals what the job does. The dry run, the job and its checks all
// name through this one planner.
class TNamePlanner {
public:
    // Without a folder (one not made yet) every name is free but those claimed.
    TNamePlanner(platform::CopyFiles& files, platform::TargetFolder* folder);

    // The name a copy planned as `name` takes: the name itself when it is free, otherwise the
    // first free numbered variant ("NAME(1).EXT", ...); nothing when none is. A name is free
    // when no entry of the job has claimed it and the folder holds nothing of that name or,
    // with overwrite, only a file that was there before the job. So a job run again with
    // overwriting gives every copy the name it got the first time.
    std::optional<std::string> Choose(const std::string& name, bool overwrite);
    std::optional<std::string> Numbered(const std::string& name, bool overwrite);
    // The first of the name and its numbered variants whose file `same` says holds the copy
    // already, looking no further than the first free name; names claimed by this job are
    // passed over. So a job run again finds each entry's earlier copy where that job put it.
    std::optional<std::string> FindSame(const std::string& name,
                                        const std::function<bool(const std::string&)>& same);
    // From now on the name is this job's: later entries never take it, even before it exists.
    void Claim(const std::string& name);
    // What the folder holds under the name is this job's copy: overwriting never replaces it.
    void Own(const std::string& name);
    bool Owned(const std::string& name);

    // Found out once, when two names first differ only in letter case, by a file the planner
    // creates and removes again; where it cannot, the platform's usual rule is taken.
    bool IgnoresCase();

private:
    platform::Result<std::optional<platform::FileIdentity>> Lookup(const std::string& name);
    bool Claimed(const std::string& name);
    bool Free(const std::string& name, bool overwrite);
    bool Holds(const platform::FileIdentity& file) const;

    platform::CopyFiles& files_;
    platform::TargetFolder* folder_;
    std::optional<bool> ignoresCase_;
    std::set<std::string> claimed_;       // as spelled
    std::set<std::string> claimedFolded_; // with letter case folded
    std::set<platform::FileIdentity> owned_;
    std::unordered_map<std::string, unsigned> nextNumber_; // where Numbered's search goes on
};

} // namespace copy
