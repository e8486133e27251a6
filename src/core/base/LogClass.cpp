#include "core/base/LogClass.h"

#include "platform/AppendFile.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "core/settings/ProgramFiles.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <mutex>
#include <string_view>

namespace app {
namespace {

using platform::IniFile;

constexpr char kLogFile[] = "apces.cnt";
constexpr char kOldSuffix[] = ".old";
constexpr std::string_view kSection = "Error Log";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Entries arrive in time order, so the keys of the current second are all near the end: only
// this much of the end is read for them, and for the section the log ends in.
constexpr std::size_t kTailBytes = 64 * 1024;
// Where a long log's first section header is looked for.
constexpr std::size_t kHeadBytes = 4 * 1024;

struct Shared {
    std::mutex mutex;
    std::string folder;
    std::uint64_t maxBytes = TLogClass::kDefaultMaxBytes;
};

Shared& State() {
    static Shared state;
    return state;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == text.npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Key(std::string_view stamp, int number) {
    std::string key(stamp);
    if (number > 1)
        key.append(" (").append(std::to_string(number)).append(")");
    return key;
}

// 1 for the key of the bare time, n for "time (n)", 0 for any other key.
int NumberOf(std::string_view key, std::string_view stamp) {
    if (key.size() < stamp.size() || !IniFile::SameName(key.substr(0, stamp.size()), stamp))
        return 0;
    std::string_view rest = key.substr(stamp.size());
    if (rest.empty())
        return 1;
    if (rest.size() < 4 || !rest.starts_with(" (") || !rest.ends_with(")"))
        return 0;
    rest = rest.substr(2, rest.size() - 3);
    int number = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    return error == std::errc() && end == rest.data() + rest.size() ? number : 0;
}

// Complete lines of `text` from `from` on, without their endings; `ending` learns the ending
// of the last one.
template <typename Visit>
void ForEachLine(std::string_view text, std::size_t from, std::string_view& ending, Visit visit) {
    while (from < text.size()) {
        const auto newline = text.find('\n', from);
        if (newline == text.npos)
            return;
        std::string_view line = text.substr(from, newline - from);
        ending = "\n";
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
            ending = "\r\n";
        }
        visit(line);
        from = newline + 1;
    }
}

// How the next entry gets into the log.
struct Plan {
    enum class Way { Append, Rewrite, MoveAside } way = Way::Append;
    std::string lead;        // Append: what goes before the entry's line
    std::string_view ending; // Append: the log's line ending
    int lastNumber = 0;      // Append: the highest number of this second's keys
    std::string reason;      // MoveAside: why the log cannot take the entry
};

// The section a long log begins with, seen in its first bytes.
bool BeginsWithLogSection(std::string_view head) {
    if (head.starts_with(kByteOrderMark))
        head.remove_prefix(kByteOrderMark.size());
    bool found = false;
    bool isLog = false;
    std::string_view ignored;
    ForEachLine(head, 0, ignored, [&](std::string_view line) {
        const auto parsed = IniFile::ParseLine(line);
        if (!found && parsed.kind == IniFile::Kind::Section) {
            found = true;
            isLog = IniFile::SameName(parsed.name, kSection);
        }
    });
    return isLog;
}

// `tail` is the end of the log, the whole of it when `whole`; `head` its first bytes.
Plan PlanEntry(std::string_view tail, bool whole, std::string_view head, std::string_view stamp) {
    Plan plan;
    plan.ending = platform::kNativeLineEnding;
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
        plan.way = Plan::Way::MoveAside;
        plan.reason = "The log was UTF-16 text, to which no UTF-8 line can be added";
        return plan;
    }

    // Lines before the first whole one of a partial tail are cut off: skip to it.
    std::size_t from = 0;
    if (!whole)
        from = tail.find('\n') == tail.npos ? tail.size() : tail.find('\n') + 1;
    else if (tail.starts_with(kByteOrderMark))
        from = kByteOrderMark.size();
    bool sectionSeen = false;
    bool inLog = false;
    ForEachLine(tail, from, plan.ending, [&](std::string_view line) {
        const auto parsed = IniFile::ParseLine(line);
        if (parsed.kind == IniFile::Kind::Section) {
            sectionSeen = true;
            inLog = IniFile::SameName(parsed.name, kSection);
            plan.lastNumber = 0;
        } else if (parsed.kind == IniFile::Kind::Entry) {
            plan.lastNumber = std::max(plan.lastNumber, NumberOf(parsed.name, stamp));
        }
    });
    if (!tail.empty() && !tail.ends_with('\n'))
        plan.lead = plan.ending; // the last line lacks its ending

    if (!sectionSeen && whole) {
        // No section at all: it is added at the end, as the profile calls would add it.
        plan.lead.append("[").append(kSection).append("]").append(plan.ending);
        return plan;
    }
    // A long log's header lies before the part read; other sections, if it has any, come
    // before its entries.
    if (!sectionSeen)
        inLog = BeginsWithLogSection(head);
    if (!inLog && whole)
        plan.way = Plan::Way::Rewrite;
    if (!inLog && !whole) {
        plan.way = Plan::Way::MoveAside;
        plan.reason = "The log did not end in its [Error Log] section";
    }
    return plan;
}

// A short log whose entries are followed by other sections: the entry goes into its section
// by the profile rules, and the file is written anew.
platform::Status Rewrite(const std::string& path, std::string_view text, std::string_view stamp,
                         std::string_view value) {
    IniFile ini(text);
    int number = 1;
    while (ini.Get(kSection, Key(stamp, number)))
        ++number;
    if (!ini.Set(kSection, Key(stamp, number), value))
        return platform::Status::Error("the entry cannot stand on a line");
    return platform::WriteWholeFile(path, ini.Text());
}

platform::Status AppendEntry(platform::AppendFile& log, const Plan& plan, std::string_view stamp,
                             std::string_view value) {
    std::string line = plan.lead;
    line.append(Key(stamp, plan.lastNumber + 1)).append("=").append(value).append(plan.ending);
    return log.Append(line);
}

// `fresh` marks the entries that begin a log just moved aside: that one is never moved again.
platform::Status WriteEntry(const std::string& path, std::string_view stamp, std::string_view value,
                            std::uint64_t maxBytes, bool fresh) {
    auto opened = platform::AppendFile::Open(path);
    if (!opened)
        return opened.status();
    auto& log = *opened;
    const auto size = log.Size();
    if (!size)
        return size.status();

    const std::uint64_t start = *size > kTailBytes ? *size - kTailBytes : 0;
    const auto tail = log.Read(start, static_cast<std::size_t>(*size - start));
    if (!tail)
        return tail.status();
    platform::Result<std::string> head = std::string();
    if (start > 0)
        head = log.Read(0, kHeadBytes);
    if (!head)
        return head.status();
    Plan plan = PlanEntry(*tail, start == 0, start == 0 ? *tail : *head, stamp);

    const bool full = *size >= maxBytes && !fresh;
    if (plan.way == Plan::Way::Append && !full)
        return AppendEntry(log, plan, stamp, value);
    if (plan.way == Plan::Way::Rewrite && !full) {
        log.Close();
        return Rewrite(path, *tail, stamp, value);
    }
    if (fresh)
        return platform::Status::Error("a new log cannot take the entry");

    // The log moves aside whole; the entry starts a new one that says where the rest went.
    const std::string old = path + kOldSuffix;
    const bool replacing = platform::FileExists(old);
    if (auto moved = platform::MoveFileReplacing(path, old); !moved) {
        // Better a log beyond its limit than an entry lost.
        if (plan.way != Plan::Way::Append)
            return moved;
        return AppendEntry(log, plan, stamp, value);
    }
    log.Close();
    std::string note = "WriteLog:";
    if (full)
        note.append("The log reached ").append(std::to_string(maxBytes)).append(" bytes");
    else
        note.append(plan.reason);
    note.append("; its entries before this one were moved to ").append(kLogFile).append(kOldSuffix);
    if (replacing)
        note.append(", replacing the older ones that file held");
    if (auto written = WriteEntry(path, stamp, note, maxBytes, true); !written)
        return written;
    return WriteEntry(path, stamp, value, maxBytes, true);
}

} // namespace

void TLogClass::SetProgramFolder(std::string folder) {
    std::lock_guard lock(State().mutex);
    State().folder = std::move(folder);
}

std::string TLogClass::ProgramFolder() {
    std::lock_guard lock(State().mutex);
    return State().folder;
}

void TLogClass::SetMaxBytes(std::uint64_t bytes) {
    std::lock_guard lock(State().mutex);
    State().maxBytes = bytes;
}

void TLogClass::WriteLog(const std::string& text) noexcept {
    try {
        // A line break would end the entry early and turn the rest into lines of their own.
        std::string value = text;
        std::replace_if(
            value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');

        Shared& state = State();
        // From the look for a free key to the write, so two threads never take one key, and
        // the keys reach the file in time order. Nothing in here waits for another thread.
        std::lock_guard lock(state.mutex);
        const std::string stamp(
            Trim(platform::FormatLocalDateTime(std::chrono::system_clock::now())));
        if (stamp.empty())
            return;
        const auto file = settings::ProgramFile(state.folder, kLogFile);
        (void)WriteEntry(file, stamp, value, state.maxBytes, false);
    } catch (...) {
        // The log is the last resort for failures; there is nowhere left to report its own.
    }
}

} // namespace app
