#pragma once
// A logo preview box: the logo stretched over the whole box (a 320x400 logo in a 1.3:1
// box looks as it does on a 4:3 screen), black when there is none.

#include <QImage>
#include <QLabel>
#include <QWidget>

class TBitmap;

// Our 8-bit image as a Qt image sharing nothing with it.
QImage LogoImage(const TBitmap& bitmap);

class TLogoPreview : public QWidget {
    Q_OBJECT
public:
    explicit TLogoPreview(QWidget* parent = nullptr);
    // An empty bitmap paints black.
    void SetLogo(const TBitmap& bitmap);
    const QImage& Image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

// The error text over a preview; it covers the preview, so it carries the preview's
// double-click.
class TPreviewLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
