#include "gui/skin/TitleBarButton.h"

namespace {

struct Look {
    const char* glyph;
    const char* hint;
};

Look LookOf(TitleBarButton::Kind kind) {
    switch (kind) {
    case TitleBarButton::Kind::Minimize:
        return {"glyph_minimize", "Minimize"};
    case TitleBarButton::Kind::Close:
        return {"glyph_close", "Close"};
    case TitleBarButton::Kind::Web:
        break;
    }
    return {"glyph_web", "WebSite"};
}

} // namespace

TitleBarButton::TitleBarButton(Kind kind, QWidget* parent) : SkinButton(parent), kind_(kind) {
    setStrip(skin::Picture::Load(QStringLiteral("titlebutton")));
    const Look look = LookOf(kind);
    setPicture(skin::Picture::Load(QString::fromLatin1(look.glyph)));
    setPictureTransparent(true, QColor(255, 0, 0));
    setPicturePosition(PicturePosition::Above);
    setPictureOffset(2);
    setHint(QString::fromLatin1(look.hint));
    resize(18, 18);
}
