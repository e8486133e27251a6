#pragma once

#include "core/device/Song.h"

#include <string>
#include <string_view>

namespace cli {

// A JSON string literal for UTF-8 text.
std::string JsonString(std::string_view text);

// One track as one JSON object on one line (no line break at the end).
std::string TrackJson(const TSong& song);

} // namespace cli
