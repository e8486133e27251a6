#pragma once

// A group box with a flat rounded border and its caption set into the top line.

#include <QColor>
#include <QGroupBox>

class TXP_GroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit TXP_GroupBox(const QString& caption, QWidget* parent = nullptr);

    void setBorderColor(QColor color);
    void setCaptionColor(QColor color);
    void setBackgroundColor(QColor color);
    QColor borderColor() const { return borderColor_; }
    QColor captionColor() const { return captionColor_; }
    QColor backgroundColor() const { return backgroundColor_; }

    QImage Render(int scale) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor borderColor_ = QColor(128, 128, 128);
    QColor captionColor_ = QColor(0, 0, 0);
    QColor backgroundColor_ = QColor(219, 219, 229);
};
