#include "gui/skin/SkinPicture.h"

#include <QWidget>

// Resources of a static library are registered by hand, outside any namespace.
static void InitSkinResources() {
    Q_INIT_RESOURCE(skin);
}

namespace skin {

namespace {

QImage Premultiplied(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The source row or column that target position `at` of `target` shows, for a frame of
// `source` pixels along that axis.
int HalfKeepSource(int at, int target, int source) {
    const int half = source / 2;
    if (target >= 2 * half) {
        if (at < half)
            return at;
        if (at >= target - half)
            return source - (target - at);
        return half;
    }
    const int left = (target + 1) / 2;
    return at < left ? at : source - (target - at);
}

} // namespace

Picture::Picture(QImage normal, QImage doubled)
    : normal_(std::move(normal)), doubled_(std::move(doubled)) {}

Picture Picture::Load(const QString& name) {
    static const bool registered = (InitSkinResources(), true);
    (void)registered;
    QImage normal(QStringLiteral(":/skin/%1.png").arg(name));
    QImage doubled(QStringLiteral(":/skin/%1@2x.png").arg(name));
    Q_ASSERT_X(!normal.isNull(), "skin::Picture::Load", qPrintable(name));
    return Picture(std::move(normal), std::move(doubled));
}

QImage Picture::At(int scale) const {
    QImage image = Premultiplied(scale > 1 && !doubled_.isNull() ? doubled_ : normal_);
    image.setDevicePixelRatio(image.width() > normal_.width() ? 2 : 1);
    return image;
}

int PaintScale(const QWidget* widget) {
    return widget->devicePixelRatioF() > 1.0 ? 2 : 1;
}

QImage CutFrame(const QImage& strip, int index, int frames) {
    const int width = strip.width() / frames;
    QImage frame = strip.copy(index * width, 0, width, strip.height());
    frame.setDevicePixelRatio(strip.devicePixelRatio());
    return frame;
}

QImage HalfKeep(const QImage& frame, QSize size) {
    const QImage source = Premultiplied(frame);
    QImage target(size, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(frame.devicePixelRatio());
    if (size.isEmpty() || source.isNull())
        return target;
    std::vector<int> columns(size.width());
    for (int x = 0; x < size.width(); ++x)
        columns[x] = HalfKeepSource(x, size.width(), source.width());
    for (int y = 0; y < size.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(
            source.constScanLine(HalfKeepSource(y, size.height(), source.height())));
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            out[x] = in[columns[x]];
    }
    return target;
}

QImage ToScale(const QImage& image, int scale) {
    const qreal ratio = image.devicePixelRatio();
    if (qFuzzyCompare(ratio, qreal(scale)))
        return image;
    QImage scaled = image.scaled((QSizeF(image.size()) * scale / ratio).toSize(),
                                 Qt::IgnoreAspectRatio, Qt::FastTransformation);
    scaled.setDevicePixelRatio(scale);
    return scaled;
}

QImage KeyOut(const QImage& picture, QColor transparent) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == key)
                line[x] = 0;
    }
    return Premultiplied(image);
}

QImage Silhouette(const QImage& picture, QColor face) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const QRgb background = image.pixel(0, image.height() - 1);
    const QRgb paint = face.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = line[x] == background ? 0 : paint;
    }
    return Premultiplied(image);
}

} // namespace skin
