#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace copy {

// The file-name rule: deletes ; = + < > / " [ ] \ ' * ? | : and the control characters
// (codes 0 to 31 and the bidirectional controls U+202A to U+202E and U+2066 to U+2069)
// wherever they occur; every other character stays.
std::string RemoveInvalidFileChars(std::string_view text);

// The name of a track's copy, accepted by the file systems of both platforms: the title
// through RemoveInvalidFileChars, cut to leave the whole name at most kMaxNameBytes, trailing
// dots and blanks trimmed, a Windows device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, COM and
// LPT with a superscript 1 to 3; any case, alone or before a dot) given a "_", "Untitled" when
// nothing is left; then the extension through the same rule.
std::string TargetFileName(std::string_view title, std::string_view extension);
inline constexpr std::size_t kMaxNameBytes = 240;

// The extension of a track's location: from its last dot to the end, dot included, when no
// separator follows the dot; otherwise empty. Letter case as it is.
std::string LocationExtension(std::string_view location);

// The folder of a file path a save dialog returned: everything before the last separator,
// which stays when the folder is the root of a drive ("E:\") or of the file system ("/").
std::string TargetFolderFromDialogPath(std::string_view path);

// A name in a folder, with one separator between them even when the folder is a root.
std::string JoinTargetPath(std::string_view folder, std::string_view name);

// The folder part of a path, up to and including its last separator, and the rest.
std::string_view FolderPart(std::string_view path);
std::string_view FileNamePart(std::string_view path);

// The first of path's numbered variants, "NAME(1).EXT", "NAME(2).EXT", ..., at which nothing
// exists. The number stands before the name's last extension, or at the end without one.
// Nothing when the first kMostNumbers are all taken (a folder that cannot be looked into).
// The search starts at first, which callers that know the lower numbers taken pass.
std::optional<std::string> NumberedPathName(std::string_view path,
                                            const std::function<bool(const std::string&)>& exists,
                                            unsigned first = 1);
inline constexpr unsigned kMostNumbers = 100000;

} // namespace copy
