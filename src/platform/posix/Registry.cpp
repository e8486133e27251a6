#include "platform/Registry.h"

#include "platform/Files.h"
#include "platform/posix/XdgFolders.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <vector>

// The HKEY_CURRENT_USER stand-in: one text file in the shape of a registry export.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Kestrune]
//   "DBClickPlaySong"=dword:00000001
//   "ExeFile"="/home/me/.local/share/kestrune"
//
// A key exists when its section does. Strings escape '\' and '"' with a backslash; a value of
// any other kind (hex:..., possibly continued over lines ending in '\') is kept as it was read.
// Reads and writes go to the file each time, so several keys or processes see one another's
// values, and a write rewrites the whole file beside it and renames it over.

namespace platform {
namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER\\";
constexpr std::string_view kFirstLine = "Windows Registry Editor Version 5.00";
constexpr std::uint64_t kMaxStoreBytes = 4u * 1024 * 1024;

std::string StoreFolder() {
    return posix::XdgFolder("XDG_CONFIG_HOME", ".config") + "/kestrune";
}

std::string StorePath() {
    return StoreFolder() + "/registry.reg";
}

std::mutex& StoreMutex() {
    static std::mutex mutex;
    return mutex;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// Reads a quoted text at the start of `text`; on success `text` is left after the closing quote.
std::optional<std::string> Unquote(std::string_view& text) {
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            ++i;
        out += text[i];
    }
    return std::nullopt;
}

struct Entry {
    std::string name;
    std::string data; // after '=', continuation lines joined
    std::size_t first = 0, last = 0;
};

// The store as lines, each with its own line ending, so untouched lines are written back as read.
class Store {
public:
    // Nothing when the file exists but cannot be read: it must then not be overwritten.
    static std::optional<Store> Load(const std::string& path) {
        Store store;
        if (!FileExists(path))
            return store;
        const auto bytes = ReadWholeFile(path, kMaxStoreBytes);
        if (!bytes)
            return std::nullopt;
        std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        while (!text.empty()) {
            const auto newline = text.find('\n');
            const auto length = newline == text.npos ? text.size() : newline + 1;
            store.lines_.emplace_back(text.substr(0, length));
            text.remove_prefix(length);
        }
        return store;
    }

    std::string Text() const {
        std::string text;
        for (const auto& line : lines_)
            text += line;
        return text;
    }

    bool Empty() const { return lines_.empty(); }

    std::optional<std::size_t> FindSection(std::string_view keyPath) const {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const auto body = TrimEnd(Body(i));
            if (body.size() >= 2 && body.front() == '[' && body.back() == ']' &&
                EqualsIgnoringAsciiCase(body.substr(1, body.size() - 2),
                                        std::string(kRoot) + std::string(keyPath)))
                return i;
        }
        return std::nullopt;
    }

    std::vector<Entry> Entries(std::size_t header) const {
        std::vector<Entry> entries;
        for (std::size_t i = header + 1; i < lines_.size() && !IsSection(i); ++i) {
            Entry entry;
            entry.first = i;
            std::string joined(TrimEnd(Body(i)));
            while (!joined.empty() && joined.back() == '\\' && i + 1 < lines_.size()) {
                joined.pop_back();
                joined += TrimEnd(Body(++i));
            }
            entry.last = i;
            std::string_view rest = joined;
            if (rest.starts_with('@')) {
                rest.remove_prefix(1); // the key's default value, whose name is empty
            } else if (auto name = Unquote(rest)) {
                entry.name = std::move(*name);
            } else {
                continue;
            }
            if (!rest.starts_with('='))
                continue;
            entry.data = rest.substr(1);
            entries.push_back(std::move(entry));
        }
        return entries;
    }

    std::optional<Entry> FindValue(std::string_view keyPath, std::string_view name) const {
        const auto header = FindSection(keyPath);
        if (!header)
            return std::nullopt;
        for (auto& entry : Entries(*header))
            if (EqualsIgnoringAsciiCase(entry.name, name))
                return entry;
        return std::nullopt;
    }

    // False when the key's section is missing.
    bool SetValue(std::string_view keyPath, std::string_view name, std::string_view data) {
        const auto header = FindSection(keyPath);
        if (!header)
            return false;
        const auto entries = Entries(*header);
        for (const auto& entry : entries) {
            if (!EqualsIgnoringAsciiCase(entry.name, name))
                continue;
            // The stored spelling of the name stays, as the registry keeps it.
            const auto ending = Ending(entry.last);
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(entry.first),
                         lines_.begin() + static_cast<std::ptrdiff_t>(entry.last + 1));
            lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(entry.first),
                          NameText(entry.name) + "=" + std::string(data) + ending);
            return true;
        }
        Insert(entries.empty() ? *header + 1 : entries.back().last + 1,
               NameText(name) + "=" + std::string(data));
        return true;
    }

    void AddSection(std::string_view keyPath) {
        if (lines_.empty()) {
            Insert(0, std::string(kFirstLine));
        }
        Insert(lines_.size(), "");
        Insert(lines_.size(), "[" + std::string(kRoot) + std::string(keyPath) + "]");
    }

private:
    std::string_view Body(std::size_t i) const {
        std::string_view line = lines_[i];
        if (line.ends_with('\n'))
            line.remove_suffix(1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        return line;
    }

    std::string Ending(std::size_t i) const { return lines_[i].substr(Body(i).size()); }

    bool IsSection(std::size_t i) const {
        const auto body = Body(i);
        const auto start = body.find_first_not_of(" \t");
        return start != body.npos && body[start] == '[';
    }

    static std::string NameText(std::string_view name) { return name.empty() ? "@" : Quote(name); }

    void Insert(std::size_t index, std::string body) {
        const std::string ending =
            lines_.empty() || Ending(0).empty() ? std::string("\n") : Ending(0);
        if (index == lines_.size() && !lines_.empty() && Ending(index - 1).empty())
            lines_.back() += ending;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), body + ending);
    }

    std::vector<std::string> lines_;
};

std::optional<std::uint32_t> ParseDword(std::string_view data) {
    data = TrimEnd(data);
    if (data.size() < 7 || !EqualsIgnoringAsciiCase(data.substr(0, 6), "dword:"))
        return std::nullopt;
    data.remove_prefix(6);
    if (data.empty() || data.size() > 8 || !std::all_of(data.begin(), data.end(), IsHexDigit))
        return std::nullopt;
    return static_cast<std::uint32_t>(std::strtoul(std::string(data).c_str(), nullptr, 16));
}

std::optional<std::string> ParseString(std::string_view data) {
    auto text = Unquote(data);
    if (!text || !TrimEnd(data).empty())
        return std::nullopt;
    return text;
}

bool ValidKeyPath(std::string_view keyPath) {
    return !keyPath.empty() && keyPath.find_first_of("[]\r\n") == keyPath.npos;
}

} // namespace

struct RegistryKey::Impl {
    std::string file;
    std::string keyPath;

    std::optional<Entry> Find(const std::string& name) const {
        const auto store = Store::Load(file);
        return store ? store->FindValue(keyPath, name) : std::nullopt;
    }

    Status Write(const std::string& name, const std::string& data) {
        const auto failure = Status::Error("Failed to set data for '" + name + "'");
        if (name.find_first_of("\r\n") != name.npos || data.find_first_of("\r\n") != data.npos)
            return failure;
        std::lock_guard lock(StoreMutex());
        auto store = Store::Load(file);
        if (!store || !store->SetValue(keyPath, name, data) || !WriteWholeFile(file, store->Text()))
            return failure;
        return Status::Ok();
    }
};

RegistryKey::RegistryKey(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::OpenExisting(const std::string& keyPath) {
    if (!ValidKeyPath(keyPath))
        return std::nullopt;
    auto file = StorePath();
    const auto store = Store::Load(file);
    if (!store || !store->FindSection(keyPath))
        return std::nullopt;
    return RegistryKey(std::make_unique<Impl>(Impl{std::move(file), keyPath}));
}

Result<RegistryKey> RegistryKey::Create(const std::string& keyPath) {
    const auto failure = Status::Error("Failed to create key '" + keyPath + "'");
    if (!ValidKeyPath(keyPath))
        return failure;
    std::lock_guard lock(StoreMutex());
    auto file = StorePath();
    if (!CreateDirectories(StoreFolder()))
        return failure;
    auto store = Store::Load(file);
    if (!store)
        return failure;
    if (!store->FindSection(keyPath)) {
        store->AddSection(keyPath);
        if (!WriteWholeFile(file, store->Text()))
            return failure;
    }
    return RegistryKey(std::make_unique<Impl>(Impl{std::move(file), keyPath}));
}

RegValueKind RegistryKey::KindOf(const std::string& name) const {
    const auto entry = impl_->Find(name);
    if (!entry)
        return RegValueKind::Missing;
    if (ParseDword(entry->data))
        return RegValueKind::Dword;
    if (ParseString(entry->data))
        return RegValueKind::String;
    return RegValueKind::Other;
}

std::uint32_t RegistryKey::ReadDword(const std::string& name) const {
    const auto entry = impl_->Find(name);
    return entry ? ParseDword(entry->data).value_or(0) : 0;
}

std::string RegistryKey::ReadString(const std::string& name) const {
    const auto entry = impl_->Find(name);
    return entry ? ParseString(entry->data).value_or("") : "";
}

Status RegistryKey::WriteDword(const std::string& name, std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string data = "dword:";
    for (int shift = 28; shift >= 0; shift -= 4)
        data += kDigits[(value >> shift) & 0xF];
    return impl_->Write(name, data);
}

Status RegistryKey::WriteString(const std::string& name, const std::string& value) {
    return impl_->Write(name, Quote(value));
}

} // namespace platform
