#pragma once

#include <string>
#include <string_view>

namespace app {

// The project's version, such as "0.1.0".
std::string_view ProgramVersion();

// What --version prints: the program's name and version, the license, and the address of the
// program's web site or About page.
std::string VersionText(std::string_view program);

// The address the web buttons open: the one this build was configured with, or else the About
// page installed with the program, found from the running program's folder.
std::string MakerSiteAddress();

// The rule behind it. configured: the build's address (blank for none); programFolder: the
// folder holding the program (empty when unknown); aboutPage: the page relative to that folder,
// '/' between the names. Gives a file URL for the page, or nothing when the folder is unknown.
std::string MakerSiteAddress(std::string_view configured, std::string_view programFolder,
                             std::string_view aboutPage);

} // namespace app
