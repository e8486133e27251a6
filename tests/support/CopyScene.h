#pragma once

#include "gui/CopySide.h"
#include "gui/TFormReport.h"
#include "gui/skin/SkinButton.h"
#include "platform/Status.h"
#include "support/BuiltPlayer.h"
#include "support/Gestures.h"
#include "support/HeldCopyFiles.h"
#include "support/Until.h"
#include "support/WindowSandbox.h"

#include <QTableWidget>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

using Strings = std::vector<std::string>;

// More than one piece of the worker's reads, so that a held source stops part-way.
inline constexpr std::int64_t kBigBytes = 3 << 19;

// What a copy window test stands on: a sandbox with an empty target folder, and the copy
// environment answered by the test and recorded, the worker's files held mid-copy at will.
class CopyScene {
public:
    WindowSandbox sandbox;
    HeldCopyFiles files;
    // What the folder dialog was asked, and its answer (a path, or cancelled).
    std::vector<TFolderDialogRequest> dialogs;
    std::optional<std::string> dialogAnswer;
    // The questions asked, and how each is answered (inside the question, like a user).
    Strings questions;
    std::function<bool()> answer;
    Strings told;
    bool toldOverAHiddenWindow = false;
    Strings openedFolders;
    platform::Status openResult = platform::Status::Ok();

    CopyScene() { std::filesystem::create_directories(Target()); }

    std::filesystem::path Target() const { return sandbox.path() / "Music"; }
    std::string Planned(const std::string& name) const { return (Target() / name).string(); }
    std::filesystem::path PlayerRoot() const { return sandbox.path() / "player"; }

    TCopyEnvironment Environment() {
        TCopyEnvironment environment;
        environment.askTargetFile = [this](QWidget*, const TFolderDialogRequest& request) {
            dialogs.push_back(request);
            return dialogAnswer;
        };
        environment.askYesNo = [this](QWidget*, const std::string& question) {
            questions.push_back(question);
            return answer ? answer() : false;
        };
        environment.tell = [this](QWidget* parent, const std::string& text) {
            toldOverAHiddenWindow |= parent == nullptr || !parent->isVisible();
            told.push_back(text);
        };
        environment.openFolder = [this](const std::string& folder) {
            openedFolders.push_back(folder);
            return openResult;
        };
        environment.copyFiles = &files;
        return environment;
    }

    void HoldSource(const std::string& name) {
        files.holds = [name](const std::string& path) { return path.ends_with(name); };
    }

    // A player with a big track first, held once files.Hold() is called, then two small ones.
    std::string ThreeTracks() {
        HoldSource("BIG.mp3");
        return BuildPlayer(PlayerRoot(), {{"Big One", "A", "BIG.mp3", kBigBytes},
                                          {"Two", "A", "TWO.mp3", 2000},
                                          {"Three", "A", "THRE.m4a", 3000}});
    }
};

inline Strings FilesIn(const std::filesystem::path& folder) {
    Strings names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

inline Strings ReportColumn(const TFormReport* report, int column) {
    Strings cells;
    for (int row = 0; row < report->Reporter->rowCount(); ++row) {
        const QTableWidgetItem* item = report->Reporter->item(row, column);
        cells.push_back(item != nullptr ? item->text().toStdString() : "<none>");
    }
    return cells;
}

// Whether the report comes up, once the job has ended.
inline bool Shown(const TFormReport* report) {
    return Until([&] { return report->isVisible(); });
}

// The report, closed by its Close button.
inline void CloseReport(TFormReport* report) {
    QVERIFY(Shown(report));
    QTest::mouseClick(report->CloseButton, Qt::LeftButton);
    QVERIFY(!report->isVisible());
}

} // namespace testsupport

// Lists of texts show in failure messages.
template <> inline char* QTest::toString(const testsupport::Strings& texts) {
    QByteArray joined("{");
    for (const std::string& text : texts)
        joined += (joined.size() > 1 ? ", \"" : "\"") + QByteArray::fromStdString(text) + '"';
    return qstrdup(joined + '}');
}
