#pragma once

// A check box whose box is drawn flat, as the check list draws its boxes: 11 x 11, white, a grey
// line around it, a black tick. Caption, focus frame and gestures are the standard check box's.

#include <QCheckBox>

class QPainter;

namespace skin {

inline constexpr int kCheckBoxSize = 11;

// Draws the flat box into `box` (kCheckBoxSize square), ticked or not; grey when disabled.
void PaintCheckBox(QPainter& painter, const QRect& box, bool checked, bool enabled = true);

} // namespace skin

class FlatCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit FlatCheckBox(const QString& caption, QWidget* parent = nullptr);

    // Where the box is drawn.
    QRect BoxRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
