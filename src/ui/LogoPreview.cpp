#include "ui/LogoPreview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cstring>

#include "image/Bitmap.h"
#include "image/BmpTools.h"

namespace {

class TPainterCanvas : public TCanvas {
public:
    TPainterCanvas(QPainter& painter, const QRect& clip) : painter_(painter), clip_(clip) {}
    TRect ClipRect() const override {
        return {clip_.left(), clip_.top(), clip_.right() + 1, clip_.bottom() + 1};
    }
    void FillRect(const TRect& rect, TRGBColour colour) override {
        painter_.fillRect(
            QRect(QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1)),
            QColor(colour.red, colour.green, colour.blue));
    }

private:
    QPainter& painter_;
    QRect clip_;
};

}  // namespace

QImage LogoImage(const TBitmap& bitmap) {
    if (bitmap.Empty() || bitmap.Pixels.size() < std::size_t(bitmap.Width) * bitmap.Height)
        return {};
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    colours.reserve(256);
    for (const TRGBColour& colour : bitmap.Colours) {
        if (colours.size() == 256)
            break;
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

void TLogoPreview::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (image_.isNull()) {
        TPainterCanvas canvas(painter, event->rect());
        FillBlack(canvas);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), image_);
}

void TPreviewLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}
