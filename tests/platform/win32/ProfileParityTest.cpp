// The portable INI engine (platform/IniFile, the Linux back end's profile files) and Windows'
// own profile calls must give the same answers on the same files: every probe below is asked
// of both, and the answers are compared rather than written down.

#include "platform/IniFile.h"
#include "platform/Profile.h"
#include "core/settings/ProfileInt.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::IniFile;

struct Probe {
    std::string section;
    std::string key;
};

struct Case {
    const char* name;
    std::string text;
    std::vector<Probe> probes;
};

// An error log grown long: more names and a longer value than one small buffer holds.
Case LongLog() {
    Case c{"a long log", "[Error Log]\n", {}};
    for (int i = 0; i < 300; ++i) {
        const std::string key = "12/9/2026 7:" + std::to_string(10 + i / 60) + ":" +
                                std::to_string(10 + i % 50) + " PM (" + std::to_string(i) + ")";
        c.text += key + "=Execute:" + std::string(static_cast<std::size_t>(i) * 7, 'x') + "\n";
        if (i % 37 == 0)
            c.probes.push_back({"Error Log", key});
    }
    c.probes.push_back({"Error Log", "12/9/2026 7:00:00 PM"});
    return c;
}

// Texts such as installers, editors and older versions leave behind.
std::vector<Case> Cases() {
    return {
        {"numbers",
         "[COLWIDTH]\r\n0=200\r\n3=0\r\n5=0x40\r\n6=0X1f\r\n7=wide\r\n8=\r\n9= 12 \r\n10=-5\r\n"
         "11=0x\r\n12=+7\r\n13=2147483648\r\n14=0xFFFFFFFF\r\n15=0x100000000\r\n16=1.5\r\n",
         {{"COLWIDTH", "0"},
          {"COLWIDTH", "3"},
          {"COLWIDTH", "5"},
          {"COLWIDTH", "6"},
          {"COLWIDTH", "7"},
          {"COLWIDTH", "8"},
          {"COLWIDTH", "9"},
          {"COLWIDTH", "10"},
          {"COLWIDTH", "11"},
          {"COLWIDTH", "12"},
          {"COLWIDTH", "13"},
          {"COLWIDTH", "14"},
          {"COLWIDTH", "15"},
          {"COLWIDTH", "16"},
          {"COLWIDTH", "1"},
          {"COLWIDTH", "17"}}},
        {"names ignore case",
         "[visible]\nSEARCHBOX=0\nAlbumList=0x0\nArtistList=no\niPodSelector=2\n",
         {{"Visible", "SearchBox"},
          {"VISIBLE", "albumlist"},
          {"Visible", "ArtistList"},
          {"visible", "IPODSELECTOR"},
          {"Visible", "FileTypeList"},
          {"COLWIDTH", "1"}}},
        {"blanks and quotes",
         "[ Spaced Section ]\n  key with blanks  =  value with blanks  \n[S]\nq1=\"quoted text\"\n"
         "q2='single'\nq3=\"unbalanced\nq4=\"\"\nq5=\"a\" b \"c\"\n",
         {{"Spaced Section", "key with blanks"},
          {"S", "q1"},
          {"S", "q2"},
          {"S", "q3"},
          {"S", "q4"},
          {"S", "q5"}}},
        {"comments and lines without a value",
         "k=0\n[S]\n;k=1\nk\n[T]\n; note=x\nk=2\n",
         {{"S", "k"}, {"S", ";k"}, {"T", "k"}, {"T", "note"}, {"Missing", "k"}}},
        {"first key wins", "[A]\nk=1\nk=2\nother=3\n", {{"A", "k"}, {"a", "K"}, {"A", "other"}}},
        {"byte order mark and a last line without its end",
         "\xEF\xBB\xBF[S]\r\nk=v \r\nlast=x",
         {{"S", "k"}, {"S", "last"}}},
        {"text beyond ASCII",
         "[Error Log]\nkey=Bj\xC3\xB6rk \xE6\x97\xA5\xE6\x9C\xAC\n[\xC3\x89t\xC3\xA9]\n"
         "cl\xC3\xA9=1\n",
         {{"Error Log", "key"}, {"\xC3\x89t\xC3\xA9", "cl\xC3\xA9"}}},
        {"empty file", "", {{"COLWIDTH", "1"}, {"Visible", "SearchBox"}}},
        LongLog(),
    };
}

void WriteBytes(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Both readings of one probe, and the integer the layout file would take from each.
void ExpectSameAnswer(const std::string& file, const IniFile& ini, const Probe& probe) {
    SCOPED_TRACE("[" + probe.section + "] " + probe.key);
    const auto fromWindows = platform::ReadProfileString(file, probe.section, probe.key);
    const auto fromEngine = ini.Get(probe.section, probe.key);
    EXPECT_EQ(fromWindows, fromEngine);
    const int engineInt = fromEngine ? settings::StrToIntDef(*fromEngine, 80) : 80;
    EXPECT_EQ(settings::ReadProfileInt(file, probe.section, probe.key, 80), engineInt);
}

class ProfileParity : public ::testing::Test {
protected:
    std::string File() const { return (dir_ / "ipdes.dll").string(); }
    testsupport::TempDir dir_;
};

TEST_F(ProfileParity, ReadsGiveTheSameAnswers) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        WriteBytes(File(), c.text);
        const IniFile ini(c.text);
        for (const Probe& probe : c.probes)
            ExpectSameAnswer(File(), ini, probe);
    }
}

TEST_F(ProfileParity, AMissingFileReadsAsEmpty) {
    const std::string missing = (dir_ / "none.ini").string();
    EXPECT_EQ(platform::ReadProfileString(missing, "COLWIDTH", "1"), std::nullopt);
    EXPECT_EQ(settings::ReadProfileInt(missing, "COLWIDTH", "1", 80), 80);
}

TEST_F(ProfileParity, WritesGiveTheSameAnswersAndKeepOtherSections) {
    const std::vector<std::pair<Probe, std::string>> writes{
        {{"COLWIDTH", "3"}, "3"},  // replaces a value
        {{"colwidth", "0"}, "16"}, // new key, section named in other case
        {{"Error Log", "12/9/2026 7:00:00 AM"}, "Execute:disk full"},     // new section
        {{"Error Log", "12/9/2026 7:00:00 AM"}, "CopyoutClick:\xC3\xA9"}, // same second
        {{"Visible", "SEARCHBOX"}, "1"},                                  // key named in other case
    };
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        WriteBytes(File(), c.text);
        IniFile engine(c.text);
        for (const auto& [probe, value] : writes) {
            ASSERT_TRUE(platform::WriteProfileString(File(), probe.section, probe.key, value).ok());
            ASSERT_TRUE(engine.Set(probe.section, probe.key, value));
        }
        // What Windows wrote, read by Windows and by the engine, against the engine's own text.
        const IniFile windowsText(ReadBytes(File()));
        std::vector<Probe> probes = c.probes;
        for (const auto& write : writes)
            probes.push_back(write.first);
        for (const Probe& probe : probes) {
            ExpectSameAnswer(File(), engine, probe);
            EXPECT_EQ(windowsText.Get(probe.section, probe.key),
                      engine.Get(probe.section, probe.key))
                << "[" << probe.section << "] " << probe.key;
        }
    }
}

TEST_F(ProfileParity, AFailedWriteNamesTheFile) {
    const std::string file = (dir_ / "gone" / "ipdes.dll").string();
    const auto status = platform::WriteProfileString(file, "COLWIDTH", "1", "80");
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "Unable to write to " + file);
}

} // namespace
