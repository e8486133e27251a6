#pragma once

// The fonts of the skinned windows, each with the families to fall back on in order: the
// Windows font first, then the nearest font of a Linux desktop by width, then the generic
// sans-serif. Captions are measured against their buttons in these fonts.

#include <QFont>
#include <QStringList>

namespace skin {

// Families for the captions and texts of the controls (the MS Sans Serif of the windows).
QStringList ControlFamilies();
// Families for the tables, lists and the report (Tahoma).
QStringList TableFamilies();

// Captions of the push, title-bar and tab buttons and the status line: 11 pixels, bold.
QFont ButtonFont();
// Plain control text (check boxes, group captions, the device selector): 11 pixels.
QFont ControlFont();
// Tables and lists: 11 pixels.
QFont TableFont();

} // namespace skin
