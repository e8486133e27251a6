#pragma once

#include <string_view>

namespace browser {

// Whether a double-click may hand this file to the shell: only the audio and video types that
// players hold (.mp3, .m4a, .m4b, .m4p, .aac, .aif, .aiff, .wav, .mp4, .m4v, .mov, .aa, in any
// letter case). The shell would run anything else that it can run (.exe, .bat, .lnk, .js,
// .hta), and a player's disk is anybody's stick.
bool IsPlayableFile(std::string_view path);

} // namespace browser
