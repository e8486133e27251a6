#include "gui/skin/SkinFonts.h"

#include <QCoreApplication>

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

// Windows names these for its dialogs, message boxes and the application's font; where a
// system lacks them (Wine without its own fonts) the font mapper picks a serif face. Asked
// first, the families stay Windows' own wherever it has them.
void SubstituteMissingWindowsFamilies() {
    const QStringList control = ControlFamilies().mid(2);
    for (const char* family :
         {"MS Shell Dlg 2", "MS Shell Dlg", "MS Sans Serif", "Microsoft Sans Serif", "Segoe UI"})
        QFont::insertSubstitutions(QString::fromLatin1(family), control);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), TableFamilies().mid(1));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(SubstituteMissingWindowsFamilies)

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
