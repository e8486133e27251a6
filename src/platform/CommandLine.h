#pragma once

#include <string>
#include <vector>

namespace platform {

// The program's arguments as UTF-8, the program's name first. On Windows they are taken from
// the wide command line, so no character is lost whatever the system's code page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

} // namespace platform
