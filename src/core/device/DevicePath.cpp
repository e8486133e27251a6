#include "core/device/DevicePath.h"

#include "platform/Paths.h"
#include "platform/Text.h"

#include <algorithm>

namespace device {
namespace {

bool IsSeparator(char c) {
    return c == ':' || c == '/' || c == '\\';
}

} // namespace

struct PlayerFiles::Folder {
    std::string path;
    std::vector<platform::DirEntry> entries;
    std::unordered_map<std::string_view, std::size_t> exact;
    std::unordered_map<std::string, std::size_t> folded;
    // The link entries looked up so far, by index: what each leads to, or nothing when that
    // lies off the player.
    std::unordered_map<std::size_t, std::optional<platform::DirEntry>> links;

    std::optional<std::size_t> Lookup(std::string_view name) const {
        if (auto it = exact.find(name); it != exact.end())
            return it->second;
        if (auto it = folded.find(platform::FoldFileNameCase(name)); it != folded.end())
            return it->second;
        return std::nullopt;
    }
};

std::optional<std::vector<std::string_view>> LocationComponents(std::string_view location) {
    std::vector<std::string_view> components;
    std::size_t start = 0;
    while (start <= location.size()) {
        std::size_t end = start;
        while (end < location.size() && !IsSeparator(location[end]))
            ++end;
        const std::string_view part = location.substr(start, end - start);
        if (part == "..")
            return std::nullopt;
        if (!part.empty() && part != ".")
            components.push_back(part);
        start = end + 1;
    }
    return components;
}

PlayerFiles::PlayerFiles(std::string root) : root_(std::move(root)) {}
PlayerFiles::~PlayerFiles() = default;

PlayerFiles::Folder* PlayerFiles::ListedFolder(const std::string& path) {
    if (auto it = folders_.find(path); it != folders_.end())
        return it->second.get();
    std::unique_ptr<Folder> folder;
    ++listings_;
    if (auto entries = platform::ListDirectory(path)) {
        folder = std::make_unique<Folder>();
        folder->path = path;
        folder->entries = std::move(*entries);
        // On a case-sensitive disk two names may fold alike: the smallest spelling wins, so
        // the choice does not depend on the listing's order.
        std::vector<std::size_t> order(folder->entries.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return folder->entries[a].name < folder->entries[b].name;
        });
        folder->exact.reserve(order.size());
        folder->folded.reserve(order.size());
        for (std::size_t i : order) {
            folder->exact.emplace(folder->entries[i].name, i);
            folder->folded.emplace(platform::FoldFileNameCase(folder->entries[i].name), i);
        }
    }
    Folder* result = folder.get();
    folders_.emplace(path, std::move(folder));
    return result;
}

const platform::DirEntry* PlayerFiles::Entry(Folder& folder, std::string_view name) {
    const auto index = folder.Lookup(name);
    if (!index)
        return nullptr;
    const platform::DirEntry& entry = folder.entries[*index];
    if (!entry.isLink)
        return &entry; // listed in a folder inside the root, so inside it too
    auto [link, first] = folder.links.try_emplace(*index);
    if (first)
        link->second = FollowLink(platform::JoinPath(folder.path, entry.name), entry.name);
    return link->second ? &*link->second : nullptr;
}

std::optional<platform::DirEntry> PlayerFiles::FollowLink(const std::string& path,
                                                          const std::string& name) {
    if (!realRoot_) {
        auto root = platform::ResolvePath(root_);
        realRoot_ = root ? std::move(root->path) : std::string();
    }
    const auto target = platform::ResolvePath(path);
    if (!target || !platform::IsWithin(target->path, *realRoot_))
        return std::nullopt;
    // The name stays: the path through the link is a path inside the root.
    return platform::DirEntry{name, target->size, target->isDirectory, target->isFile, true};
}

PlayerFiles::Folder* PlayerFiles::ResolveFolder(const std::vector<std::string_view>& components,
                                                std::size_t count) {
    Folder* folder = ListedFolder(root_);
    for (std::size_t i = 0; i < count && folder != nullptr; ++i) {
        const platform::DirEntry* entry = Entry(*folder, components[i]);
        if (entry == nullptr || !entry->isDirectory)
            return nullptr;
        folder = ListedFolder(platform::JoinPath(folder->path, entry->name));
    }
    return folder;
}

PlayerFiles::Located PlayerFiles::Locate(const std::vector<std::string_view>& components) {
    if (components.empty())
        return {};
    Folder* folder = ResolveFolder(components, components.size() - 1);
    if (folder == nullptr)
        return {};
    return {folder, Entry(*folder, components.back())};
}

std::optional<PlayerFiles::Found>
PlayerFiles::Find(const std::vector<std::string_view>& components) {
    const auto [folder, entry] = Locate(components);
    if (entry == nullptr || !entry->isFile)
        return std::nullopt;
    return Found{platform::JoinPath(folder->path, entry->name), entry->size};
}

std::optional<std::string>
PlayerFiles::FindAnyEntry(const std::vector<std::string_view>& components) {
    const auto [folder, entry] = Locate(components);
    if (entry == nullptr || entry->isDirectory)
        return std::nullopt;
    return platform::JoinPath(folder->path, entry->name);
}

std::optional<std::string>
PlayerFiles::FindFolder(const std::vector<std::string_view>& components) {
    Folder* folder = ResolveFolder(components, components.size());
    if (folder == nullptr)
        return std::nullopt;
    return folder->path;
}

std::optional<std::vector<PlayerFiles::Listed>>
PlayerFiles::List(const std::vector<std::string_view>& components) {
    Folder* folder = ResolveFolder(components, components.size());
    if (folder == nullptr)
        return std::nullopt;
    std::vector<Listed> listed;
    for (const platform::DirEntry& listedEntry : folder->entries) {
        const platform::DirEntry* entry = Entry(*folder, listedEntry.name);
        if (entry == nullptr || (entry != &listedEntry && !listedEntry.isLink))
            continue; // a name that folds like a smaller one, or a link off the player
        if (entry->isFile || entry->isDirectory)
            listed.push_back({entry->name,
                              {platform::JoinPath(folder->path, entry->name), entry->size},
                              entry->isDirectory});
    }
    std::sort(listed.begin(), listed.end(),
              [](const Listed& a, const Listed& b) { return a.name < b.name; });
    return listed;
}

std::optional<PlayerFiles::Found> PlayerFiles::FindLocation(std::string_view location) {
    auto components = LocationComponents(location);
    if (!components || components->empty())
        return std::nullopt;
    // Tracks share a handful of folders: resolve each folder part of a location once.
    // The cache key is everything before the last component, so it names exactly the folder
    // part; a location that ends in a separator or "." is resolved without the cache.
    const std::size_t lastStart = location.find_last_of(":/\\") + 1;
    const std::string_view prefix = location.substr(0, lastStart);
    const bool cacheable = location.substr(lastStart) == components->back();
    auto cached =
        cacheable ? foldersByLocation_.find(std::string(prefix)) : foldersByLocation_.end();
    Folder* folder = nullptr;
    if (cached != foldersByLocation_.end()) {
        folder = cached->second;
    } else {
        folder = ResolveFolder(*components, components->size() - 1);
        if (cacheable)
            foldersByLocation_.emplace(std::string(prefix), folder);
    }
    if (folder == nullptr)
        return std::nullopt;
    const platform::DirEntry* entry = Entry(*folder, components->back());
    if (entry == nullptr || !entry->isFile)
        return std::nullopt;
    return Found{platform::JoinPath(folder->path, entry->name), entry->size};
}

} // namespace device
