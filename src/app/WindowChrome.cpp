#include "app/WindowChrome.h"

#include "app/ProgramInfo.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPainterPath>
#include <QRegion>
#include <QToolButton>
#include <QUrl>
#include <QWidget>

namespace app {

QFont TableFont(bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

QToolButton* MakeTitleButton(QWidget* window, const QString& name, const QString& glyph,
                             const QString& hint, int left, int top) {
    auto* button = new QToolButton(window);
    button->setObjectName(name);
    button->setText(glyph);
    button->setToolTip(hint);
    button->setGeometry(left, top, 18, 18);
    return button;
}

void MinimizeApplication() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            window->showMinimized();
}

QUrl MakerSiteUrl() {
    return QUrl(QString::fromStdString(MakerSiteAddress()));
}

void OpenMakerSite() {
    QDesktopServices::openUrl(MakerSiteUrl());
}

void SetRoundedOutline(QWidget* window) {
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, window->width(), window->height()), 12.5, 12.5);
    window->setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

} // namespace app
