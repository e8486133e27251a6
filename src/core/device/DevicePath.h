#pragma once

#include "platform/Files.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace device {

// The path components of a location such as ":iPod_Control:Music:F02:ABCD.mp3". Empty
// components are dropped. A ".." component would lead off the player: such a location has no
// file, and nothing is returned. "/" and "\" separate components too, as they do in the
// path the location becomes on Windows.
std::optional<std::vector<std::string_view>> LocationComponents(std::string_view location);

// Finds files under a player's root without regard to letter case, as the player's own file
// system does, listing each folder at most once. An exact spelling wins over a case variant.
// A track's file is a regular file that lies inside the root: a link is followed only when,
// resolved, it stays there.
class PlayerFiles {
public:
    struct Found {
        std::string path;
        std::uint64_t size = 0;
    };

    explicit PlayerFiles(std::string root);
    ~PlayerFiles();
    PlayerFiles(const PlayerFiles&) = delete;
    PlayerFiles& operator=(const PlayerFiles&) = delete;

    // The file a location names (":"-separated, as in the database).
    std::optional<Found> FindLocation(std::string_view location);
    // Its size alone, without making its path.
    std::optional<std::uint64_t> SizeOfLocation(std::string_view location);
    // The file at the given components below the root.
    std::optional<Found> Find(const std::vector<std::string_view>& components);
    // The path of whatever stands at the components inside the root, if it is no folder: a
    // pipe or a device as well as a file, so that a caller can say what is wrong with it.
    std::optional<std::string> FindAnyEntry(const std::vector<std::string_view>& components);

    // The folder at the given components below the root.
    std::optional<std::string> FindFolder(const std::vector<std::string_view>& components);

    // The entries of the folder at the components that are regular files or folders (links
    // followed as above), by name; nothing when there is no such folder.
    struct Listed {
        std::string name;
        Found file;
        bool isDirectory = false;
    };
    std::optional<std::vector<Listed>> List(const std::vector<std::string_view>& components);

    std::size_t FolderListings() const { return listings_; }

    // Lists the folders inside the folder at the components, ahead of the lookups that will
    // need them: several threads share the work, each with a PlayerFiles of the same root of
    // its own, each taking the folder at index next until none is left.
    void ListSubfolders(const std::vector<std::string_view>& components,
                        std::atomic<std::size_t>& next);
    // Takes over the folders other listed; other must have the same root.
    void Adopt(PlayerFiles&& other);

private:
    struct Folder;
    Folder* ListedFolder(const std::string& path);
    Folder* ResolveFolder(const std::vector<std::string_view>& components, std::size_t count);
    // The entry of that name, links resolved; nothing when there is none or it leads off the
    // player.
    const platform::DirEntry* Entry(Folder& folder, std::string_view name);
    struct Located {
        Folder* folder = nullptr;
        const platform::DirEntry* entry = nullptr; // in folder; null when there is none
    };
    Located Locate(const std::vector<std::string_view>& components);
    std::optional<platform::DirEntry> FollowLink(const std::string& path, const std::string& name);
    // The regular file a location names, and the folder it is in.
    const platform::DirEntry* LocationEntry(std::string_view location, Folder*& folder);

    // Finds by std::string_view without making a std::string of it.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };

    std::string root_;
    std::optional<std::string> realRoot_; // canonical, found when the first link is met
    std::unordered_map<std::string, std::unique_ptr<Folder>> folders_; // by real path
    std::unordered_map<std::string, Folder*, TextHash, std::equal_to<>>
        foldersByLocation_; // by location prefix
    std::size_t listings_ = 0;
};

} // namespace device
