#include "CliCopy.h"

#include "DatabaseBuilder.h"
#include "DemoPlayer.h"
#include "core/copy/CopyThread.h"
#include "core/copy/TargetNames.h"
#include "core/settings/RegistrySettings.h"
#include "support/DataHome.h"
#include "support/PlayerFolder.h"
#include "support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;
using namespace testsupport;

namespace {

class CliCopy : public ::testing::Test {
protected:
    void SetUp() override {
        demoplayer::Options options;
        options.tracks = 60;
        options.seed = 5;
        demoplayer::WritePlayer(player_, options);
        fs::create_directories(out_);
        tracks_ = ReadJsonLines(player_ / "expected.jsonl");
    }

    std::vector<CopyEntry> Copy(std::vector<std::string> options, int status) {
        std::vector<std::string> args{"copy", player_.string(), out_.string()};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun run = RunCli(args, scratch_);
        EXPECT_EQ(run.status, status) << run.errors;
        return CopyReport(run);
    }

    TempDir scratch_;
    RegistrySandbox registry_;
    ScopedDataHome dataHome_{scratch_.str()};
    fs::path player_ = scratch_ / "player";
    fs::path out_ = scratch_ / "out";
    std::vector<std::string> tracks_;
};

} // namespace

TEST_F(CliCopy, CopiesEveryTrackWholeUnderItsNameAndNumbersOrReplacesOnTheSecondRun) {
    const auto first = Copy({"--no-overwrite"}, 3); // the player lacks some files
    ASSERT_EQ(first.size(), tracks_.size());
    std::set<std::string> taken;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const auto track = *ParseFlatJson(tracks_[i]);
        EXPECT_EQ(first[i].title, track.at("title"));
        if (track.at("fileSize").empty()) {
            EXPECT_EQ(first[i].outcome, copy::kSourceNotFound) << first[i].title;
            continue;
        }
        EXPECT_TRUE(SameLocation(first[i].source, player_, track.at("location")))
            << first[i].source;
        const std::string planned = copy::JoinTargetPath(
            out_.string(),
            copy::TargetFileName(track.at("title"), copy::LocationExtension(track.at("location"))));
        const std::string expected =
            taken.count(NameKey(planned)) == 0
                ? planned
                : *copy::NumberedPathName(
                      planned, [&](const std::string& p) { return taken.count(NameKey(p)) > 0; });
        taken.insert(NameKey(expected));
        EXPECT_EQ(first[i].outcome, expected);
        EXPECT_TRUE(SameBytes(first[i].outcome, first[i].source)) << first[i].outcome;
        ++copied;
    }
    EXPECT_EQ(FilesIn(out_).size(), copied) << "a stray file was left";

    // Overwriting is only for files from before the job: into an empty folder it names every
    // copy as above, each its own file with its own bytes.
    const fs::path fresh = scratch_ / "fresh";
    const auto overwriting =
        CopyReport(RunCli({"copy", player_.string(), fresh.string(), "--overwrite"}, scratch_));
    ASSERT_EQ(overwriting.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (first[i].outcome == copy::kSourceNotFound)
            continue;
        EXPECT_EQ(overwriting[i].outcome,
                  copy::JoinTargetPath(fresh.string(), copy::FileNamePart(first[i].outcome)));
        EXPECT_TRUE(SameBytes(overwriting[i].outcome, first[i].source)) << overwriting[i].outcome;
    }
    EXPECT_EQ(FilesIn(fresh).size(), copied);

    // Again without overwriting: every copy gets a new numbered name; nothing earlier changes.
    // A dry run names them first.
    const CliRun plan =
        RunCli({"copy", player_.string(), out_.string(), "--no-overwrite", "--dry-run"}, scratch_);
    const auto second = Copy({"--no-overwrite"}, 3);
    ASSERT_EQ(second.size(), first.size());
    ASSERT_EQ(plan.lines.size(), second.size());
    for (std::size_t i = 0; i < second.size(); ++i) {
        // A track without a file is planned as the outcome it then gets.
        EXPECT_EQ(ParseFlatJson(plan.lines[i])->at("target"), second[i].outcome);
    }
    for (std::size_t i = 0; i < second.size(); ++i) {
        if (first[i].outcome == copy::kSourceNotFound)
            continue;
        EXPECT_EQ(taken.count(NameKey(second[i].outcome)), 0u) << second[i].outcome;
        EXPECT_TRUE(SameBytes(second[i].outcome, second[i].source));
        EXPECT_TRUE(SameBytes(first[i].outcome, first[i].source));
    }
    const std::string name(copy::FileNamePart(first[1].outcome));
    const std::size_t dot = name.rfind('.');
    EXPECT_EQ(std::string(copy::FileNamePart(second[1].outcome)),
              name.substr(0, dot) + "(1)" + name.substr(dot));
    const auto files = FilesIn(out_);
    EXPECT_EQ(files.size(), 2 * copied);

    // With overwriting, the planned names are replaced and no file appears.
    const auto third = Copy({"--overwrite"}, 3);
    EXPECT_EQ(FilesIn(out_), files);
    EXPECT_EQ(third[1].outcome, first[1].outcome);

    // Skipping what is there, a run copies nothing again.
    const auto skipped = Copy({"--no-overwrite", "--skip-existing"}, 3);
    for (std::size_t i = 0; i < skipped.size(); ++i)
        EXPECT_EQ(skipped[i].outcome, first[i].outcome == copy::kSourceNotFound
                                          ? copy::kSourceNotFound
                                          : copy::kAlreadyCopied);
    EXPECT_EQ(FilesIn(out_), files);
}

TEST_F(CliCopy, FollowsTheSavedOverwriteSettingWithoutAnOption) {
    ASSERT_TRUE(settings::EnsureProgramFolder().ok());
    for (bool overwrite : {false, true}) {
        SCOPED_TRACE(overwrite);
        settings::RegistrySettings saved;
        saved.OverWriteExistFile = overwrite;
        ASSERT_TRUE(settings::WriteRegistry(saved).ok());
        fs::remove_all(out_);
        fs::create_directories(out_);
        const auto first = Copy({"--artist", "Björk"}, 0);
        ASSERT_FALSE(first.empty());
        const auto again = Copy({"--artist", "Björk"}, 0);
        EXPECT_EQ(again[0].outcome == first[0].outcome, overwrite);
    }
}

TEST_F(CliCopy, SelectsAsTheListsAndTheSearchDoAndPlansWithoutCopying) {
    struct Case {
        std::vector<std::string> options;
        std::function<bool(const std::map<std::string, std::string>&)> selects;
    };
    const Case cases[] = {
        {{}, [](const auto&) { return true; }},
        {{"--artist", "prince", "--artist", "Björk"},
         [](const auto& t) {
             return FoldAscii(t.at("artist")) == "prince" || t.at("artist") == "Björk";
         }},
        {{"--album", "Purple Rain", "--filetype", "MPEG audio file"},
         [](const auto& t) {
             return FoldAscii(t.at("album")) == "purple rain" &&
                    t.at("filetype") == "MPEG audio file";
         }},
        {{"--search", "Love Me"},
         [](const auto& t) {
             for (const char* key : {"title", "album", "artist", "composer", "comment"})
                 if (t.at(key).find("Love") != std::string::npos &&
                     t.at(key).find("Me") != std::string::npos)
                     return true;
             return false;
         }},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"copy", player_.string(), out_.string(), "--dry-run"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = RunCli(args, scratch_);
        EXPECT_EQ(run.status, 0) << run.errors;
        std::vector<std::string> want, got;
        for (const auto& line : tracks_)
            if (const auto track = *ParseFlatJson(line); c.selects(track))
                want.push_back(track.at("title"));
        for (const auto& line : run.lines)
            got.push_back(ParseFlatJson(line)->at("title"));
        EXPECT_FALSE(want.empty());
        EXPECT_EQ(got, want) << args.back();
        EXPECT_TRUE(FilesIn(out_).empty());
    }
}

TEST_F(CliCopy, RefusesWrongUsageAMissingDatabaseAndAnUnusableTarget) {
    const std::string player = player_.string();
    const std::string out = out_.string();
    const std::string missing = (scratch_ / "missing").string();
    const std::string file = (player_ / "expected.jsonl").string();
    const std::string onPlayer = (player_ / "iPod_Control" / "iTunes").string();
    const std::string newOnPlayer = (player_ / "iPod_Control" / "new" / "deeper").string();
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"copy", player}, 1},
        {{"copy", "", out}, 1},
        {{"copy", player, ""}, 1},
        {{"copy", player, out, "--overwrite", "--no-overwrite"}, 1},
        {{"copy", player, out, "--artist"}, 1},
        {{"copy", player, out, "--album", "--dry-run"}, 1},
        {{"copy", player, out, "--search", "  "}, 1},
        {{"copy", player, out, "--bogus"}, 1},
        {{"copy", missing, out}, 2},
        {{"copy", file, out}, 2},
        {{"copy", player, file}, 4},
        {{"copy", player, onPlayer}, 4},
        {{"copy", player, newOnPlayer}, 4},
        {{"copy", player, out, "--artist", "Nobody Of That Name"}, 6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunCli(c.args, scratch_).status, c.status) << c.args.back();
        EXPECT_TRUE(FilesIn(out_).empty());
        EXPECT_FALSE(fs::exists(missing));
        EXPECT_FALSE(fs::exists(player_ / "iPod_Control" / "new"));
    }
    // A target that does not exist yet is made, with its parents.
    const fs::path made = scratch_ / "made" / "here";
    const CliRun run = RunCli({"copy", player, made.string(), "--album", "Purple Rain"}, scratch_);
    std::size_t copied = 0;
    for (const auto& entry : CopyReport(run))
        copied += entry.outcome.starts_with(made.string()) ? 1 : 0;
    EXPECT_GT(copied, 0u) << run.errors;
    EXPECT_EQ(FilesIn(made).size(), copied);
    // A report that cannot be written is no success, for the plan and for the copy.
    EXPECT_EQ(RunCli({"copy", player, out, "--dry-run"}, scratch_, true).status, 5);
    EXPECT_EQ(RunCli({"copy", player, out, "--artist", "Prince"}, scratch_, true).status, 5);
    // A damaged database copies the tracks before the damage and the files none of them names,
    // and says so with status 3, even one of which nothing can be read.
    const fs::path db = player_ / "iPod_Control" / "iTunes" / "iTunesDB";
    const auto whole = fs::file_size(db);
    for (const auto size : {whole / 2, std::uintmax_t{40}}) {
        fs::resize_file(db, size);
        const CliRun damaged = RunCli({"copy", player, out, "--dry-run"}, scratch_);
        EXPECT_EQ(damaged.status, 3) << damaged.errors;
        EXPECT_NE(damaged.errors.find("damaged"), std::string::npos) << damaged.errors;
        EXPECT_NE(damaged.errors.find("from the files' own tags"), std::string::npos);
    }
}

// A layout puts every copy in the folders it names, numbers names that collide there, and never
// follows a link out of the target folder.
TEST_F(CliCopy, ALayoutMakesItsFoldersAndKeepsEveryCopyInsideTheTarget) {
    const fs::path built = scratch_ / "built";
    dbbuild::DatabaseBuilder builder;
    const char* artists[] = {"Ann", "Ann", "Bob", ""};
    for (std::int32_t i = 0; i < 4; ++i) {
        const std::string file = "T" + std::to_string(i) + ".mp3";
        dbbuild::Track track = dbbuild::MakeTrack(i + 1, {{1, i < 2 ? "Same" : "Other"},
                                                          {2, ":iPod_Control:Music:F00:" + file},
                                                          {3, "Disc"},
                                                          {4, artists[i]}});
        track.headerValues = {{0x2C, 3}};
        builder.AddTrack(track);
        WriteFileOfSize(built, "iPod_Control/Music/F00/" + file, 1000 + 100 * i);
    }
    WriteDatabase(built, builder.Build());
    const std::string layout = "{artist}/{album}/{track:02} {title}";
    const CliRun run =
        RunCli({"copy", built.string(), out_.string(), "--layout", layout}, scratch_);
    EXPECT_EQ(run.status, 0) << run.errors;
    const auto report = CopyReport(run);
    ASSERT_EQ(report.size(), 4u);
    const char* expected[] = {"Ann/Disc/03 Same.mp3", "Ann/Disc/03 Same(1).mp3",
                              "Bob/Disc/03 Other.mp3", "Unknown Artist/Disc/03 Other.mp3"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(report[i].outcome, (out_ / fs::path(expected[i]).make_preferred()).string());
        EXPECT_TRUE(SameBytes(report[i].outcome, report[i].source)) << report[i].outcome;
    }
    EXPECT_EQ(
        RunCli({"copy", built.string(), out_.string(), "--layout", "{nope}"}, scratch_).status, 1);
#ifndef _WIN32
    // A folder of the layout that is a link to elsewhere takes no copy.
    const fs::path elsewhere = scratch_ / "elsewhere", linked = scratch_ / "linked";
    fs::create_directories(elsewhere / "Disc");
    fs::create_directories(linked);
    fs::create_directory_symlink(elsewhere, linked / "Bob");
    const auto escaped =
        CopyReport(RunCli({"copy", built.string(), linked.string(), "--layout", layout}, scratch_));
    ASSERT_EQ(escaped.size(), 4u);
    EXPECT_NE(escaped[2].outcome.find("leads outside the target folder"), std::string::npos)
        << escaped[2].outcome;
    EXPECT_TRUE(fs::is_empty(elsewhere / "Disc"));
#endif
}
