// Shows every skinned control in every state, and the main window's chrome put together from
// the pictures at the places of its layout, for looking at them (scripts/skin-gallery.sh).
// Not part of the program.
//
// usage: skin_gallery [controls|chrome]

#include "gui/skin/FlatCheckBox.h"
#include "gui/skin/FlatCheckListBox.h"
#include "gui/skin/FlatComboBox.h"
#include "gui/skin/SkinButton.h"
#include "gui/skin/SkinFonts.h"
#include "gui/skin/SkinPicture.h"
#include "gui/skin/SkinProgressBar.h"
#include "gui/skin/TXP_GroupBox.h"
#include "gui/skin/TabButton.h"
#include "gui/skin/TitleBarButton.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <functional>
#include <vector>

namespace {

const QColor kWindow(41, 43, 55);
const QColor kPanel(219, 219, 229);
const QColor kYellow(245, 255, 91);

using State = SkinButton::State;
const State kStates[] = {State::Normal, State::Pressed, State::Disabled, State::Hover,
                         State::Focused};

// Paints a button's image in one fixed state.
class StateView : public QWidget {
public:
    StateView(SkinButton* button, State state, QWidget* parent)
        : QWidget(parent), button_(button), state_(state) {
        setGeometry(button->geometry());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).drawImage(QPoint(0, 0), button_->Render(state_, skin::PaintScale(this)));
    }

private:
    SkinButton* button_;
    State state_;
};

class Panel : public QWidget {
public:
    Panel(QColor colour, QWidget* parent, QRect where) : QWidget(parent), colour_(colour) {
        setGeometry(where);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

QLabel* Caption(const QString& text, QWidget* parent, int x, int y, QColor colour = kYellow) {
    auto* label = new QLabel(text, parent);
    label->setFont(skin::ControlFont());
    label->setStyleSheet(QStringLiteral("color: %1").arg(colour.name()));
    label->move(x, y);
    return label;
}

// A row of one button in all five states; the button itself stays hidden as the model.
template <class Make> void StateRow(QWidget* parent, int x, int y, int step, Make make) {
    for (int i = 0; i < 5; ++i) {
        SkinButton* model = make(parent);
        model->move(x + i * step, y);
        model->hide();
        new StateView(model, kStates[i], parent);
    }
}

QWidget* ControlsPage() {
    auto* page = new Panel(kWindow, nullptr, QRect(0, 0, 900, 520));
    int y = 8;
    const QString names = QStringLiteral("normal, pressed, disabled, hover, focused");
    Caption(QStringLiteral("Push buttons (") + names + QStringLiteral(")"), page, 8, y);
    y += 18;
    const struct {
        const char* caption;
        int width;
    } buttons[] = {{"Copy", 56}, {"Open Directory", 96}, {"Restore Default", 105}};
    for (const auto& b : buttons) {
        StateRow(page, 8, y, b.width + 4, [&](QWidget* p) {
            auto* button = new SkinButton(QString::fromLatin1(b.caption), p);
            button->resize(b.width, 29);
            return button;
        });
        y += 35;
    }
    StateRow(page, 8, y, 83, [](QWidget* p) { return new SkinButton(QStringLiteral("&Save"), p); });
    // Pictures above and left of a caption, and their silhouettes when disabled.
    StateRow(page, 600, y - 105, 56, [](QWidget* p) {
        auto* button = new SkinButton(QStringLiteral("Web"), p);
        button->resize(48, 40);
        button->setPicture(skin::Picture::Load(QStringLiteral("glyph_web")));
        button->setPictureTransparent(true);
        button->setPictureOffset(2);
        return button;
    });
    StateRow(page, 600, y - 60, 56, [](QWidget* p) {
        auto* button = new SkinButton(QStringLiteral("Play"), p);
        button->resize(48, 24);
        button->setPicture(skin::Picture::Load(QStringLiteral("play")));
        button->setPicturePosition(SkinButton::PicturePosition::Left);
        button->setPictureOffset(3);
        button->setCaptionColor(kYellow);
        return button;
    });
    y += 32;

    Caption(QStringLiteral("Title-bar buttons"), page, 8, y + 4);
    y += 22;
    int x = 8;
    for (auto kind :
         {TitleBarButton::Kind::Minimize, TitleBarButton::Kind::Close, TitleBarButton::Kind::Web}) {
        StateRow(page, x, y, 24, [kind](QWidget* p) { return new TitleBarButton(kind, p); });
        x += 130;
    }
    y += 30;

    // Tabs, progress, selector, list and group boxes on a light panel.
    auto* light = new Panel(kPanel, page, QRect(8, y, 884, 520 - y - 8));
    Caption(QStringLiteral("Tabs: active, inactive, then the five states"), light, 8, 4, Qt::black);
    auto* active = new TabButton(QStringLiteral("Artist"), light);
    active->setGeometry(8, 24, 59, 18);
    active->setActive(true);
    auto* album = new TabButton(QStringLiteral("Album"), light);
    album->setGeometry(67, 24, 60, 18);
    album->setActive(false);
    auto* fileType = new TabButton(QStringLiteral("File Type"), light);
    fileType->setGeometry(127, 24, 61, 18);
    StateRow(light, 210, 22, 66, [](QWidget* p) {
        auto* tab = new TabButton(QStringLiteral("File Type"), p);
        tab->setGeometry(0, 0, 61, 20);
        tab->setActive(true);
        return tab;
    });
    auto* underTabs = new Panel(Qt::white, light, QRect(8, 44, 180, 6));
    (void)underTabs;

    Caption(QStringLiteral("Progress: 0, 1, 225 of 450, 449, 450, 600"), light, 8, 60, Qt::black);
    auto* dark = new Panel(kWindow, light, QRect(8, 78, 560, 44));
    const int positions[] = {0, 1, 225, 449, 450, 600};
    for (int i = 0; i < 6; ++i) {
        auto* bar = new SkinProgressBar(dark);
        bar->setGeometry(8 + (i % 2) * 272, 6 + (i / 2) * 13, 257, 11);
        bar->setMaximum(450);
        bar->setPosition(positions[i]);
    }

    Caption(QStringLiteral("Selector"), light, 8, 132, Qt::black);
    auto* selector = new FlatComboBox(light);
    selector->setGeometry(8, 150, 127, 21);
    selector->addItems({QStringLiteral("[IPOD] - e:"), QStringLiteral("[NANO] - f:")});
    auto* disabled = new FlatComboBox(light);
    disabled->setGeometry(150, 150, 127, 21);
    disabled->addItem(QStringLiteral("Please connect your iPod"));
    disabled->setEnabled(false);

    auto* group = new TXP_GroupBox(QStringLiteral("Colums Display"), light);
    group->setGeometry(300, 132, 137, 201);
    auto* list = new FlatCheckListBox(group);
    list->setGeometry(16, 24, 105, 161);
    const char* columns[] = {"Title",    "File Size", "Album",     "Artist",   "Genre",
                             "Filetype", "Comment",   "EQSetting", "Composer", "Grouping"};
    for (int i = 0; i < 10; ++i)
        list->addCheckItem(QString::fromLatin1(columns[i]), i != 6);
    auto* general = new TXP_GroupBox(QStringLiteral("General Options"), light);
    general->setGeometry(444, 132, 217, 201);
    auto* play = new FlatCheckBox(QStringLiteral("Double Click to Play Song."), general);
    play->setGeometry(24, 42, 153, 17);
    auto* overwrite = new FlatCheckBox(QStringLiteral("Always Overwrite Exist File."), general);
    overwrite->setGeometry(24, 72, 169, 17);
    overwrite->setChecked(true);
    auto* off = new TXP_GroupBox(QStringLiteral("Disabled"), light);
    off->setGeometry(8, 190, 180, 60);
    off->setEnabled(false);
    return page;
}

// The main window's frame and panels from the pictures, at the places of its layout.
class Chrome : public QWidget {
public:
    Chrome() {
        setFixedSize(706, 476);
        auto* table = new Panel(Qt::white, this, QRect(16, 64, 473, 385));
        (void)table;
        auto* edit = new QLineEdit(this);
        edit->setFrame(false);
        edit->setGeometry(504 + 50, 56 + 26, 124, 19);
        auto* selector = new FlatComboBox(this);
        selector->setGeometry(504 + 49, 56 + 59, 127, 21);
        selector->addItem(QStringLiteral("[IPOD] - e:"));
        auto* lists = new Panel(Qt::white, this, QRect(511, 208, 180, 185));
        (void)lists;
        const struct {
            const char* caption;
            int left, width;
        } tabs[] = {{"Artist", 7, 59}, {"Album", 66, 60}, {"File Type", 126, 61}};
        for (const auto& t : tabs) {
            auto* tab = new TabButton(QString::fromLatin1(t.caption), this);
            tab->setGeometry(504 + t.left, 176 + 14, t.width, 18);
            tab->setActive(t.left == 7);
        }
        auto* progress = new SkinProgressBar(this);
        progress->setGeometry(224, 38, 257, 11);
        progress->setMaximum(450);
        progress->setPosition(170);
        const struct {
            const char* caption;
            int left;
        } bar[] = {{"WebSite", 517}, {"Option", 573}, {"Copy", 629}};
        for (const auto& b : bar)
            (new SkinButton(QString::fromLatin1(b.caption), this))
                ->setGeometry(b.left, 413, 56, 29);
        int x = 616;
        for (auto kind : {TitleBarButton::Kind::Minimize, TitleBarButton::Kind::Close,
                          TitleBarButton::Kind::Web}) {
            (new TitleBarButton(kind, this))->move(x, 10);
            x += 24;
        }
        auto* status = new QLabel(QStringLiteral(" 40 Files found in your iPod."), this);
        QFont font = skin::ButtonFont();
        status->setFont(font);
        status->setStyleSheet(QStringLiteral("color: rgb(245, 255, 91)"));
        status->setGeometry(217, 4, 256, 20);
        status->setAlignment(Qt::AlignCenter);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), kWindow);
        auto at = [&](const char* name, QRect where) {
            const skin::Picture picture = skin::Picture::Load(QString::fromLatin1(name));
            p.drawImage(where, picture.At(skin::PaintScale(this)));
        };
        auto put = [&](const char* name, int x, int y) {
            const skin::Picture picture = skin::Picture::Load(QString::fromLatin1(name));
            at(name, QRect(QPoint(x, y), picture.size()));
        };
        at("title_strip", QRect(0, 1, 705, 37));
        put("title_corner_left", 0, 0);
        put("title_corner_right", 696, 0);
        at("status_area", QRect(200, 1, 289, 37));
        put("title_decoration_left", 168, 1);
        put("title_decoration_right", 488, 1);
        put("status_cap_left", 204, 2);
        put("status_cap_right", 473, 2);
        at("status_line", QRect(217, 4, 256, 20));
        at("side_border", QRect(0, 37, 1, 421));
        at("side_border", QRect(704, 37, 1, 421));
        put("bottom_cap_left", 0, 457);
        put("bottom_cap_right", 692, 457);
        at("bottom_strip", QRect(13, 457, 679, 18));
        for (QRect panel :
             {QRect(8, 56, 489, 399), QRect(504, 56, 193, 105), QRect(504, 176, 193, 225)}) {
            p.fillRect(panel, kPanel);
            put("panel_corner_top_left", panel.left(), panel.top());
            put("panel_corner_top_right", panel.right() - 2, panel.top());
            put("panel_corner_bottom_left", panel.left(), panel.bottom() - 3);
            put("panel_corner_bottom_right", panel.right() - 4, panel.bottom() - 3);
        }
        put("search_caption", 504 + 13, 56 + 27);
        put("search_frame", 504 + 49, 56 + 25);
        put("device_caption", 504 + 19, 56 + 66);
        put("bar_cap_left", 504, 413);
        put("bar_cap_right", 685, 413);
        // The play column of the track table.
        for (int row = 0; row < 6; ++row)
            put("play", 20, 80 + row * 17);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString page = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("controls");
    QWidget* window = page == QLatin1String("chrome") ? new Chrome : ControlsPage();
    window->setWindowTitle(QStringLiteral("Skin gallery: ") + page);
    window->move(0, 0);
    window->show();
    return app.exec();
}
