#include "ui/LogoPreview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "image/Bitmap.h"
#include "ui/FormTools.h"

namespace {

constexpr int PaletteSize = 256;

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
    colours.reserve(PaletteSize);
    for (const TRGBColour& colour : bitmap.Colours) {
        if (colours.size() == PaletteSize)
            break;
        colours.append(qRgb(colour.red, colour.green, colour.blue));
    }
    // Indexes past a short colour table show black rather than reading outside it.
    while (colours.size() < PaletteSize) colours.append(qRgb(0, 0, 0));
    image.setColorTable(colours);
    for (int y = 0; y < bitmap.Height; ++y)
        std::memcpy(image.scanLine(y), bitmap.Row(y), std::size_t(bitmap.Width));
    return image;
}

int RotationStart(const TBitmap& bitmap) {
    // Fewer than two entries in the range: nothing to move.
    const auto first = bitmap.ImportantColours;
    return first > 0 && first < PaletteSize - 1 ? static_cast<int>(first) : 0;
}

QList<QRgb> RotatedColourTable(QList<QRgb> table, int first, int steps) {
    const int count = PaletteSize - first;
    if (first <= 0 || count < 2 || table.size() < PaletteSize)
        return table;
    const int shift = ((steps * PaletteRotationStep) % count + count) % count;
    // Entry i takes the colour of entry i - shift: the last `shift` entries come first.
    std::rotate(table.begin() + first, table.begin() + (PaletteSize - shift), table.end());
    return table;
}

TLogoPreview::TLogoPreview(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setInterval(PaletteRotationIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &TLogoPreview::RotatePalette);
}

void TLogoPreview::SetLogo(const TBitmap& bitmap) {
    logo_ = LogoImage(bitmap);
    rotationStart_ = RotationStart(bitmap);
    steps_ = 0;
    ShowStep();
    UpdateTimer();
}

void TLogoPreview::SetAnimated(bool animated) {
    if (animated == animated_)
        return;
    animated_ = animated;
    steps_ = 0;
    ShowStep();
    UpdateTimer();
}

bool TLogoPreview::Animating() const {
    return animated_ && rotationStart_ > 0 && !logo_.isNull();
}

void TLogoPreview::RotatePalette() {
    if (!Animating())
        return;
    steps_ = (steps_ + 1) % (PaletteSize - rotationStart_);
    ShowStep();
}

// Converted once per step; painting only scales.
void TLogoPreview::ShowStep() {
    if (logo_.isNull()) {
        image_ = QImage();
    } else {
        QImage step = logo_;
        if (steps_ != 0)
            step.setColorTable(RotatedColourTable(logo_.colorTable(), rotationStart_, steps_));
        image_ = step.convertToFormat(QImage::Format_RGB32);
    }
    update();
}

void TLogoPreview::UpdateTimer() {
    if (Animating())
        timer_.start();
    else
        timer_.stop();
}

// Whatever is drawn on the picture replaces the logo, which then no longer moves.
void TLogoPreview::FillPicture(const QRect& area, const QColor& colour) {
    logo_ = QImage();
    UpdateTimer();
    if (image_.isNull()) {
        image_ = QImage(size(), QImage::Format_RGB32);
        image_.fill(Qt::black);
    }
    QPainter painter(&image_);
    painter.setWindow(rect());
    painter.fillRect(area, colour);
    update();
}

TRect TLogoPreview::TPictureCanvas::ClipRect() const {
    return {0, 0, preview_.width(), preview_.height()};
}

void TLogoPreview::TPictureCanvas::FillRect(const TRect& rect, TRGBColour colour) {
    preview_.FillPicture(QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top),
                         QColor(colour.red, colour.green, colour.blue));
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

void ReserveSourceNumbers(QLabel* width, QLabel* height, QLabel* colours) {
    const QString widestSide = QStringLiteral("000000");
    ReserveWidth(width, widestSide);
    ReserveWidth(height, widestSide);
    ReserveWidth(colours, QStringLiteral("16777216"));
}
