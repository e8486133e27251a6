#include "gui/skin/SkinFonts.h"

namespace skin {

namespace {

QFont Font(const QStringList& families, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(11);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

QStringList ControlFamilies() {
    // Microsoft Sans Serif is the scalable twin of the bitmap MS Sans Serif, with its widths,
    // and stays sharp at scale 2. Liberation Sans has Arial's widths, which are theirs within a
    // pixel or two on a caption.
    return {QStringLiteral("Microsoft Sans Serif"),  QStringLiteral("MS Sans Serif"),
            QStringLiteral("Liberation Sans"),       QStringLiteral("Arimo"),
            QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Sans Serif")};
}

QStringList TableFamilies() {
    // Tahoma is a narrowed Verdana; DejaVu Sans is Verdana's relative, and its condensed cut
    // matches Tahoma's widths and tall lower case.
    return {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
            QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")};
}

QFont ButtonFont() {
    return Font(ControlFamilies(), true);
}

QFont ControlFont() {
    return Font(ControlFamilies(), false);
}

QFont TableFont() {
    return Font(TableFamilies(), false);
}

} // namespace skin
