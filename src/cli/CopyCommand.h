#pragma once

#include <string>
#include <vector>

namespace cli {

// `kestrune-cli copy ROOT TARGET [options]`: the arguments after "copy"; gives the exit status.
int CopyCommand(const std::vector<std::string>& args);

} // namespace cli
