#include "core/base/ProgramInfo.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr bool kWindows = platform::kPathSeparator == '\\';
constexpr char kInstalledPage[] = "../share/kestrune/about.html";

struct AddressCase {
    const char* rule;
    const char* configured;
    const char* programFolder;
    const char* aboutPage;
    const char* address;
    bool windowsOnly = false;
    bool posixOnly = false;
};

const AddressCase kAddressCases[] = {
    {"a configured address wins", "https://example.org/kestrune/", "/usr/bin", kInstalledPage,
     "https://example.org/kestrune/"},
    {"a blank address counts as none", " \t", "/usr/bin", kInstalledPage,
     "file:///usr/share/kestrune/about.html"},
    {"the installed page beside the program's folder", "", "/opt/k/bin", kInstalledPage,
     "file:///opt/k/share/kestrune/about.html"},
    {"a build tree's page lies where the installed one would", "", "/home/me/kestrune/build/src",
     kInstalledPage, "file:///home/me/kestrune/build/share/kestrune/about.html"},
    {"blanks, signs and letters beyond ASCII are escaped", "", "/home/me/M\xC3\xBCsik #1 100%/bin",
     kInstalledPage, "file:///home/me/M%C3%BCsik%20%231%20100%25/share/kestrune/about.html"},
    {"\"..\" stops at the root", "", "/bin", "../../about.html", "file:///about.html"},
    {"an unknown folder gives nothing to open", "", "", kInstalledPage, ""},
    {"a backslash is part of a Linux name", "", "/home/a\\b", "about.html",
     "file:///home/a%5Cb/about.html", false, true},
    {"the page beside the program on Windows", "", "C:\\Program Files\\Kestrune", "about.html",
     "file:///C:/Program%20Files/Kestrune/about.html", true},
    {"a program on a network share names the server", "", "\\\\server\\apps\\Kestrune",
     "about.html", "file://server/apps/Kestrune/about.html", true},
    {"a program at a drive's root", "", "E:", "about.html", "file:///E:/about.html", true},
};

TEST(MakerSiteAddress, FollowsTheRule) {
    for (const AddressCase& c : kAddressCases) {
        if ((c.windowsOnly && !kWindows) || (c.posixOnly && kWindows))
            continue;
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(app::MakerSiteAddress(c.configured, c.programFolder, c.aboutPage), c.address);
    }
}

TEST(MakerSiteAddress, OfThisBuildIsTheAboutPageBesideTheRunningProgram) {
    // This build is configured without an address (as CI builds it).
    const std::string address = app::MakerSiteAddress();
    EXPECT_TRUE(address.starts_with("file:///")) << address;
    EXPECT_TRUE(address.ends_with("/about.html")) << address;
}

TEST(VersionText, NamesTheProgramItsVersionLicenseAndAddress) {
    const std::string text = app::VersionText("kestrune-cli");
    EXPECT_TRUE(text.starts_with(std::string("kestrune-cli ") + KESTRUNE_VERSION + "\n")) << text;
    EXPECT_NE(text.find("MIT license"), std::string::npos) << text;
    EXPECT_NE(text.find("\nAbout: " + app::MakerSiteAddress() + "\n"), std::string::npos) << text;
    EXPECT_EQ(app::ProgramVersion(), KESTRUNE_VERSION);
}

} // namespace
