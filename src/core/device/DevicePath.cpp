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
    // The entries by exact name: an open-addressed table of index + 1 (0 for a free slot),
    // at most half full. A music folder holds thousands of names and every track looks one
    // up, so a probe touches one small array rather than the nodes of a map.
    std::vector<std::uint32_t> slots;
    // By folded name, built at the first name not found as spelled (most players have none).
    std::optional<std::unordered_map<std::string, std::size_t>> folded;
    // The link entries looked up so far, by index: what each leads to, or nothing when that
    // lies off the player.
    std::unordered_map<std::size_t, std::optional<platform::DirEntry>> links;

    void Index() {
        std::size_t size = 16;
        while (size < 2 * entries.size())
            size *= 2;
        slots.assign(size, 0);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            std::size_t slot = std::hash<std::string_view>()(entries[i].name) & (size - 1);
            while (slots[slot] != 0)
                slot = (slot + 1) & (size - 1);
            slots[slot] = static_cast<std::uint32_t>(i + 1);
        }
    }

    std::optional<std::size_t> Lookup(std::string_view name) {
        const std::size_t mask = slots.size() - 1;
        for (std::size_t slot = std::hash<std::string_view>()(name) & mask; slots[slot] != 0;
             slot = (slot + 1) & mask)
            if (entries[slots[slot] - 1].name == name)
                return slots[slot] - 1;
        if (!folded) {
            // On a case-sensitive disk two names may fold alike: the smallest spelling wins,
            // so the choice does not depend on the listing's order.
            std::vector<std::size_t> byName(entries.size());
            for (std::size_t i = 0; i < byName.size(); ++i)
                byName[i] = i;
            std::sort(byName.begin(), byName.end(), [&](std::size_t a, std::size_t b) {
                return entries[a].name < entries[b].name;
            });
            folded.emplace();
            folded->reserve(byName.size());
            for (std::size_t i : byName)
                folded->emplace(platform::FoldFileNameCase(entries[i].name), i);
        }
        if (auto found = folded->find(platform::FoldFileNameCase(name)); found != folded->end())
            return found->second;
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
        folder->Index();
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

const platform::DirEntry* PlayerFiles::LocationEntry(std::string_view location, Folder*& folder) {
    // Tracks share a handful of folders: resolve each folder part of a location once. The
    // cache key is everything before the last component, so it names exactly the folder part;
    // a location that ends in a separator, "." or ".." is resolved without the cache.
    const std::size_t lastStart = location.find_last_of(":/\\") + 1;
    const std::string_view prefix = location.substr(0, lastStart);
    std::string_view name = location.substr(lastStart);
    const bool cacheable = !name.empty() && name != "." && name != "..";
    folder = nullptr;
    if (auto cached = cacheable ? foldersByLocation_.find(prefix) : foldersByLocation_.end();
        cached != foldersByLocation_.end()) {
        folder = cached->second;
    } else {
        // A prefix that holds ".." gives no components, so it is never cached.
        auto components = LocationComponents(location);
        if (!components || components->empty())
            return nullptr;
        folder = ResolveFolder(*components, components->size() - 1);
        if (cacheable)
            foldersByLocation_.emplace(std::string(prefix), folder);
        name = components->back();
    }
    if (folder == nullptr)
        return nullptr;
    const platform::DirEntry* entry = Entry(*folder, name);
    return entry != nullptr && entry->isFile ? entry : nullptr;
}

std::optional<PlayerFiles::Found> PlayerFiles::FindLocation(std::string_view location) {
    Folder* folder = nullptr;
    const platform::DirEntry* entry = LocationEntry(location, folder);
    if (entry == nullptr)
        return std::nullopt;
    return Found{platform::JoinPath(folder->path, entry->name), entry->size};
}

std::optional<std::uint64_t> PlayerFiles::SizeOfLocation(std::string_view location) {
    Folder* folder = nullptr;
    const platform::DirEntry* entry = LocationEntry(location, folder);
    if (entry == nullptr)
        return std::nullopt;
    return entry->size;
}

void PlayerFiles::ListSubfolders(const std::vector<std::string_view>& components,
                                 std::atomic<std::size_t>& next) {
    Folder* parent = ResolveFolder(components, components.size());
    if (parent == nullptr)
        return;
    // By name, so every thread numbers them alike whatever order its listing gave.
    std::vector<std::string> names;
    for (const platform::DirEntry& listed : parent->entries)
        if (const platform::DirEntry* entry = Entry(*parent, listed.name);
            entry != nullptr && entry->isDirectory)
            names.push_back(platform::JoinPath(parent->path, entry->name));
    std::sort(names.begin(), names.end());
    for (std::size_t i = next++; i < names.size(); i = next++)
        ListedFolder(names[i]);
}

void PlayerFiles::Adopt(PlayerFiles&& other) {
    // Listings of one root are interchangeable; one this side already has is kept, so no
    // Folder pointer it handed out goes stale.
    for (auto& [path, folder] : other.folders_)
        if (folders_.try_emplace(path, std::move(folder)).second)
            ++listings_;
    other.folders_.clear();
    other.foldersByLocation_.clear();
}

} // namespace device
