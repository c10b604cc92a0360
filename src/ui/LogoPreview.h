#pragma once
// A logo preview box: the logo stretched over the whole box (a 320x400 logo in a 1.3:1
// box looks as it does on a 4:3 screen), black when there is none.
//
// A Windows 9x startup logo moves while Windows boots: the entries of its colour table from
// the index in its "important colours" field (byte 0x32 of the file; 236 as a rule) up to
// 255 rotate, so whatever is drawn in those colours runs. A preview can show that.

#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "image/BmpTools.h"
#include "image/Logo.h"

class TBitmap;

// Milliseconds between two steps of the rotation, and the places one step moves the
// colours up the table (negative: down). A step of one place 18 times a second looks like
// a booting machine: the bar of the usual 20 colours runs through once a second.
constexpr int PaletteRotationIntervalMs = 55;
constexpr int PaletteRotationStep = 1;

// Our 8-bit image as a Qt image sharing nothing with it.
QImage LogoImage(const TBitmap& bitmap);
// The first entry of a logo's rotating colours, or 0 when nothing of it moves.
int RotationStart(const TBitmap& bitmap);
// The table after steps steps of the rotation of its entries first to 255: entry i shows
// the colour that entry i - steps * PaletteRotationStep had, counted round that range.
QList<QRgb> RotatedColourTable(QList<QRgb> table, int first, int steps);

class TLogoPreview : public QWidget, public TLogoPaintBox {
    Q_OBJECT
public:
    explicit TLogoPreview(QWidget* parent = nullptr);
    // An empty bitmap paints black.
    void SetLogo(const TBitmap& bitmap);
    // Whether a logo with rotating colours moves here; off at first, as only the startup
    // logo moves on a booting machine. Switched off, the logo shows its own colours.
    void SetAnimated(bool animated);
    bool Animating() const;
    // The picture on show, before it is stretched over the box.
    const QImage& Image() const { return image_; }
    // Draws on the picture on show, in the box's coordinates.
    TCanvas& Canvas() override { return canvas_; }

public slots:
    // One step of the rotation (the animation's timer runs it).
    void RotatePalette();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class TPictureCanvas : public TCanvas {
    public:
        explicit TPictureCanvas(TLogoPreview& preview) : preview_(preview) {}
        TRect ClipRect() const override;
        void FillRect(const TRect& rect, TRGBColour colour) override;

    private:
        TLogoPreview& preview_;
    };

    void ShowStep();
    void FillPicture(const QRect& area, const QColor& colour);
    void UpdateTimer();

    QImage logo_;   // the logo with its own colour table
    QImage image_;  // what is painted
    int rotationStart_ = 0;
    int steps_ = 0;
    bool animated_ = false;
    QTimer timer_;
    TPictureCanvas canvas_{*this};
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

// Room for the numbers of any source picture beside a preview: its sides and its colour
// count (16777216 for a JPEG).
void ReserveSourceNumbers(QLabel* width, QLabel* height, QLabel* colours);

// A control shown in place of a preview, as the logo builder's default control.
class TDefaultWidget : public TDefaultControl {
public:
    explicit TDefaultWidget(QWidget* widget) : widget_(widget) {}
    void SetVisible(bool visible) override { widget_->setVisible(visible); }

private:
    QWidget* widget_;
};
