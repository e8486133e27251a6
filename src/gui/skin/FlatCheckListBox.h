#pragma once

// A list of items with check boxes and a flat one-pixel border. clickCheck() tells the user's
// toggling of an item (a click on its box, or Space); states set in code raise nothing.

#include <QColor>
#include <QListWidget>

class FlatCheckListBox : public QListWidget {
    Q_OBJECT

public:
    explicit FlatCheckListBox(QWidget* parent = nullptr);

    void addCheckItem(const QString& text, bool checked = false);
    bool isChecked(int index) const;
    void setChecked(int index, bool checked);

    void setBorderColor(QColor color);
    QColor borderColor() const { return borderColor_; }
    void setBackgroundColor(QColor color);
    void setItemHeight(int pixels);
    int itemHeight() const { return itemHeight_; }

    // Where the check box of item `index` is drawn, in viewport coordinates.
    QRect CheckRect(int index) const;

signals:
    void clickCheck(int index);

protected:
    bool event(QEvent* event) override;

private:
    QColor borderColor_ = QColor(224, 224, 224);
    int itemHeight_ = 13;
};
