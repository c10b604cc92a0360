#include "ui/LogoPreview.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "image/Bitmap.h"

QImage LogoImage(const TBitmap& bitmap) {
    if (bitmap.Empty() || bitmap.Pixels.size() < std::size_t(bitmap.Width) * bitmap.Height)
        return {};
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    colours.reserve(256);
    for (const TRGBColour& colour : bitmap.Colours) {
        if (colours.size() == 256) break;
        colours.append(qRgb(colour.red, colour.green, colour.blue));
    }
    // Indexes past a short colour table show black rather than reading outside it.
    while (colours.size() < 256) colours.append(qRgb(0, 0, 0));
    image.setColorTable(colours);
    for (int y = 0; y < bitmap.Height; ++y)
        std::memcpy(image.scanLine(y), bitmap.Row(y), std::size_t(bitmap.Width));
    return image;
}

TLogoPreview::TLogoPreview(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLogoPreview::SetLogo(const TBitmap& bitmap) {
    // Converted once per load; painting only scales.
    image_ = LogoImage(bitmap).convertToFormat(QImage::Format_RGB32);
    update();
}

void TLogoPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (image_.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), image_);
}

void TPreviewLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}
