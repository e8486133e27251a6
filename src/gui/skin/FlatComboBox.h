#pragma once

// A drop-down list without text entry, with a flat border and a drop button of its own over
// its right edge. closeUp() tells that the user closed the list, after the chosen entry has
// become current; a list that closes because the control is hidden, disabled or its window
// minimised does not count.

#include "gui/skin/SkinPicture.h"

#include <QComboBox>

class FlatComboDropButton;

class FlatComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit FlatComboBox(QWidget* parent = nullptr);

    void showPopup() override;
    void hidePopup() override;

    // The drop button, a child placed over the right edge (18 wide, 2 in from top and bottom).
    QWidget* dropButton() const;
    bool isListShown() const { return listShown_; }
    bool isHovered() const { return hovered_; }

signals:
    void closeUp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceDropButton();
    void FinishCloseUp();
    bool MayCloseUp() const;

    FlatComboDropButton* dropButton_;
    bool listShown_ = false;
    bool hovered_ = false;
    bool hiding_ = false;
    bool watchingList_ = false;
};

// The selector's drop button: a flat button with its own rows of colour and a glyph.
class FlatComboDropButton : public QWidget {
    Q_OBJECT

public:
    explicit FlatComboDropButton(FlatComboBox* combo);

    bool isHovered() const { return hovered_; }
    QImage Render(int scale) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    FlatComboBox* combo_;
    skin::Picture glyph_;
    skin::Picture hoverGlyph_;
    bool hovered_ = false;
};
