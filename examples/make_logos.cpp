// Draws the example logos and the new machine's shutdown and final screens.
// Usage: make_logos EXAMPLES_DIR WINDOWS_DIR
//
// Each picture is painted on a 520 by 400 canvas of square pixels, the shape the screen
// shows, squeezed into 320 by 400 and reduced to a palette by median cut with error
// diffusion. Animated startup logos keep colours 236 to 255 for a bar at the bottom whose
// colours Windows rotates; the important-colours field (offset 0x32) names the first.

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "image/BmpCodec.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCanvasWidth = 520;
constexpr int kWidth = 320;
constexpr int kHeight = 400;
constexpr int kCycleFirst = 236;
constexpr int kCycleColours = 20;
constexpr int kBarTop = 386;

// ---- Palette reduction -----------------------------------------------------------------

struct Box {
    std::array<int, 3> low, high;  // inclusive, 5 bits per channel
    long long count = 0;
};

using Histogram = std::vector<long long>;

int histogramIndex(int r, int g, int b) {
    return (r << 10) | (g << 5) | b;
}

void shrink(Box& box, const Histogram& histogram) {
    std::array<int, 3> low{31, 31, 31}, high{0, 0, 0};
    box.count = 0;
    for (int r = box.low[0]; r <= box.high[0]; ++r)
        for (int g = box.low[1]; g <= box.high[1]; ++g)
            for (int b = box.low[2]; b <= box.high[2]; ++b) {
                const long long n = histogram[histogramIndex(r, g, b)];
                if (n == 0)
                    continue;
                box.count += n;
                const int c[3] = {r, g, b};
                for (int i = 0; i < 3; ++i) {
                    low[i] = std::min(low[i], c[i]);
                    high[i] = std::max(high[i], c[i]);
                }
            }
    if (box.count > 0) {
        box.low = low;
        box.high = high;
    }
}

// Splits the box at the median of its longest side.
std::pair<Box, Box> split(const Box& box, const Histogram& histogram) {
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (box.high[i] - box.low[i] > box.high[axis] - box.low[axis])
            axis = i;
    std::vector<long long> slice(32, 0);
    for (int r = box.low[0]; r <= box.high[0]; ++r)
        for (int g = box.low[1]; g <= box.high[1]; ++g)
            for (int b = box.low[2]; b <= box.high[2]; ++b) {
                const int c[3] = {r, g, b};
                slice[c[axis]] += histogram[histogramIndex(r, g, b)];
            }
    long long seen = 0;
    int cut = box.low[axis];
    for (int v = box.low[axis]; v < box.high[axis]; ++v) {
        seen += slice[v];
        cut = v;
        if (seen * 2 >= box.count)
            break;
    }
    Box first = box, second = box;
    first.high[axis] = cut;
    second.low[axis] = cut + 1;
    shrink(first, histogram);
    shrink(second, histogram);
    return {first, second};
}

TRGBColour meanColour(const Box& box, const QImage& image, const std::vector<bool>& used) {
    long long sum[3] = {0, 0, 0}, count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (!used[std::size_t(y) * image.width() + x])
                continue;
            const QRgb p = image.pixel(x, y);
            const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
            bool inside = true;
            for (int i = 0; i < 3; ++i)
                inside &= (c[i] >> 3) >= box.low[i] && (c[i] >> 3) <= box.high[i];
            if (!inside)
                continue;
            for (int i = 0; i < 3; ++i) sum[i] += c[i];
            ++count;
        }
    if (count == 0)
        return {};
    return {std::uint8_t(sum[0] / count), std::uint8_t(sum[1] / count),
            std::uint8_t(sum[2] / count)};
}

std::vector<TRGBColour> medianCut(const QImage& image, const std::vector<bool>& used, int colours) {
    Histogram histogram(32 * 32 * 32, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (used[std::size_t(y) * image.width() + x]) {
                const QRgb p = image.pixel(x, y);
                ++histogram[histogramIndex(qRed(p) >> 3, qGreen(p) >> 3, qBlue(p) >> 3)];
            }
    std::vector<Box> boxes(1, Box{{0, 0, 0}, {31, 31, 31}, 0});
    shrink(boxes[0], histogram);
    while (int(boxes.size()) < colours) {
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            auto volume = [](const Box& box) {
                int side = 0;
                for (int i = 0; i < 3; ++i) side = std::max(side, box.high[i] - box.low[i]);
                return side == 0 ? 0.0 : std::sqrt(double(box.count)) * side;
            };
            return volume(a) < volume(b);
        });
        if (widest->high == widest->low)
            break;
        auto [first, second] = split(*widest, histogram);
        *widest = first;
        boxes.push_back(second);
    }
    std::vector<TRGBColour> palette;
    for (const Box& box : boxes) palette.push_back(meanColour(box, image, used));
    return palette;
}

int nearest(const std::vector<TRGBColour>& palette, int r, int g, int b) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < int(palette.size()); ++i) {
        const int dr = r - palette[i].red, dg = g - palette[i].green, db = b - palette[i].blue;
        const int distance = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// Floyd-Steinberg over the pixels that use the picture's palette.
void diffuse(const QImage& image, const std::vector<bool>& used,
             const std::vector<TRGBColour>& palette, TBitmap& logo) {
    std::vector<std::array<float, 3>> error(std::size_t(kWidth + 2) * 2, {0, 0, 0});
    for (int y = 0; y < kHeight; ++y) {
        auto* current = &error[std::size_t(y % 2) * (kWidth + 2)];
        auto* next = &error[std::size_t((y + 1) % 2) * (kWidth + 2)];
        std::fill(next, next + kWidth + 2, std::array<float, 3>{0, 0, 0});
        for (int x = 0; x < kWidth; ++x) {
            if (!used[std::size_t(y) * kWidth + x])
                continue;
            const QRgb p = image.pixel(x, y);
            const float want[3] = {qRed(p) + current[x + 1][0], qGreen(p) + current[x + 1][1],
                                   qBlue(p) + current[x + 1][2]};
            auto clamp = [](float v) { return std::clamp(int(std::lround(v)), 0, 255); };
            const int index = nearest(palette, clamp(want[0]), clamp(want[1]), clamp(want[2]));
            logo.Row(y)[x] = std::uint8_t(index);
            const float got[3] = {float(palette[index].red), float(palette[index].green),
                                  float(palette[index].blue)};
            for (int i = 0; i < 3; ++i) {
                const float e = want[i] - got[i];
                current[x + 2][i] += e * 7 / 16;
                next[x][i] += e * 3 / 16;
                next[x + 1][i] += e * 5 / 16;
                next[x + 2][i] += e * 1 / 16;
            }
        }
    }
}

// ---- Logos -----------------------------------------------------------------------------

struct Logo {
    const char* name;
    std::function<void(QPainter&)> paint;
    // Colours of the rotating bar, or none for a still picture.
    std::function<QColor(double phase)> cycle;
};

TBitmap reduce(const QImage& canvas, const Logo& logo) {
    const QImage squeezed =
        canvas.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    TBitmap bitmap;
    bitmap.Width = kWidth;
    bitmap.Height = kHeight;
    bitmap.BitsPerPixel = 8;
    bitmap.Pixels.assign(std::size_t(kWidth) * kHeight, 0);
    std::vector<bool> used(bitmap.Pixels.size(), true);
    if (logo.cycle) {
        for (int y = kBarTop; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                used[std::size_t(y) * kWidth + x] = false;
                // Four repeats of the cycle across the screen, four columns per colour.
                bitmap.Row(y)[x] = std::uint8_t(kCycleFirst + (x / 4) % kCycleColours);
            }
    }
    bitmap.Colours = medianCut(squeezed, used, logo.cycle ? kCycleFirst : 256);
    diffuse(squeezed, used, bitmap.Colours, bitmap);
    if (logo.cycle) {
        bitmap.Colours.resize(kCycleFirst);
        for (int i = 0; i < kCycleColours; ++i) {
            const QColor c = logo.cycle(double(i) / kCycleColours);
            bitmap.Colours.push_back(
                {std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())});
        }
        bitmap.ImportantColours = kCycleFirst;
    }
    return bitmap;
}

// A soft glow that runs from dark to the colour and back.
std::function<QColor(double)> glow(QColor dark, QColor bright) {
    return [=](double phase) {
        const double t = 0.5 - 0.5 * std::cos(phase * 2 * M_PI);
        return QColor(int(dark.red() + (bright.red() - dark.red()) * t),
                      int(dark.green() + (bright.green() - dark.green()) * t),
                      int(dark.blue() + (bright.blue() - dark.blue()) * t));
    };
}

void verticalGradient(QPainter& p, QRectF area,
                      std::initializer_list<std::pair<double, QColor>> stops) {
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    for (const auto& [at, colour] : stops) gradient.setColorAt(at, colour);
    p.fillRect(area, gradient);
}

void stars(QPainter& p, int count, QRectF area, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> x(area.left(), area.right()),
        y(area.top(), area.bottom());
    std::uniform_real_distribution<double> size(0.4, 1.6), light(110, 255);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double r = size(random);
        const int l = int(light(random));
        p.setBrush(QColor(l, l, std::min(255, l + 20)));
        p.drawEllipse(QPointF(x(random), y(random)), r, r);
    }
}

void glowDisc(QPainter& p, QPointF centre, double radius, QColor core, QColor halo) {
    QRadialGradient gradient(centre, radius * 3);
    gradient.setColorAt(0, core);
    gradient.setColorAt(0.3, core);
    gradient.setColorAt(0.34, halo);
    QColor clear = halo;
    clear.setAlpha(0);
    gradient.setColorAt(1, clear);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawEllipse(centre, radius * 3, radius * 3);
}

void paintSunrise(QPainter& p) {
    const double horizon = 250;
    verticalGradient(p, {0, 0, kCanvasWidth, horizon},
                     {{0, QColor(18, 24, 70)},
                      {0.45, QColor(112, 62, 120)},
                      {0.8, QColor(235, 110, 70)},
                      {1, QColor(255, 196, 110)}});
    glowDisc(p, {260, horizon + 8}, 34, QColor(255, 244, 200), QColor(255, 170, 80, 150));
    p.setPen(Qt::NoPen);
    for (auto [x, y, w, h] : {std::array{60.0, 90.0, 170.0, 16.0},
                              {320, 120, 150, 12},
                              {120, 160, 120, 9},
                              {350, 60, 110, 10}}) {
        QLinearGradient cloud(x, y, x, y + h);
        cloud.setColorAt(0, QColor(255, 170, 150, 170));
        cloud.setColorAt(1, QColor(150, 70, 110, 150));
        p.setBrush(cloud);
        p.drawRoundedRect(QRectF(x, y, w, h), h / 2, h / 2);
    }
    verticalGradient(p, {0, horizon, kCanvasWidth, kHeight - horizon},
                     {{0, QColor(70, 60, 110)}, {0.3, QColor(30, 45, 95)}, {1, QColor(8, 16, 45)}});
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(-1, 1);
    for (double y = horizon + 3; y < kBarTop - 2; y += 3.2) {
        const double depth = (y - horizon) / (kHeight - horizon);
        const double width = 30 + 150 * depth;
        for (int piece = 0; piece < 3; ++piece) {
            const double x = 260 + jitter(random) * width * 0.6;
            const double w = width * (0.15 + 0.2 * std::abs(jitter(random)));
            p.setBrush(
                QColor(255, 190 - int(60 * depth), 110 - int(60 * depth), int(200 - 120 * depth)));
            p.drawRect(QRectF(x - w / 2, y, w, 1.2 + depth));
        }
    }
}

void paintStarfield(QPainter& p) {
    QRadialGradient space(QPointF(200, 160), 420);
    space.setColorAt(0, QColor(22, 20, 58));
    space.setColorAt(1, QColor(2, 3, 12));
    p.fillRect(0, 0, kCanvasWidth, kHeight, space);
    p.setPen(Qt::NoPen);
    for (auto [x, y, r, red, green, blue] : {std::array{180, 140, 150, 120, 40, 150},
                                             {300, 190, 120, 30, 110, 150},
                                             {240, 110, 80, 200, 80, 130}}) {
        QRadialGradient cloud(QPointF(x, y), r);
        cloud.setColorAt(0, QColor(red, green, blue, 110));
        cloud.setColorAt(1, QColor(red, green, blue, 0));
        p.setBrush(cloud);
        p.drawEllipse(QPointF(x, y), r, r * 0.7);
    }
    stars(p, 700, {0, 0, kCanvasWidth, kHeight}, 42);
    for (auto [x, y] : {std::pair{90.0, 70.0}, {430, 120}, {150, 300}, {330, 45}}) {
        glowDisc(p, {x, y}, 1.6, QColor(255, 255, 255), QColor(170, 200, 255, 120));
        p.setPen(QPen(QColor(200, 220, 255, 140), 0.7));
        p.drawLine(QPointF(x - 9, y), QPointF(x + 9, y));
        p.drawLine(QPointF(x, y - 9), QPointF(x, y + 9));
        p.setPen(Qt::NoPen);
    }
    const QPointF planet(410, 300);
    QRadialGradient body(planet + QPointF(-20, -22), 75);
    body.setColorAt(0, QColor(250, 205, 140));
    body.setColorAt(0.6, QColor(190, 110, 60));
    body.setColorAt(1, QColor(40, 18, 20));
    p.setBrush(body);
    p.drawEllipse(planet, 52, 52);
    p.setBrush(Qt::NoBrush);
    p.save();
    p.translate(planet);
    p.rotate(-18);
    p.setPen(QPen(QColor(230, 200, 160, 200), 4));
    p.drawArc(QRectF(-95, -20, 190, 40), 180 * 16, 180 * 16);
    p.setPen(QPen(QColor(170, 140, 120, 150), 2));
    p.drawArc(QRectF(-108, -25, 216, 50), 180 * 16, 180 * 16);
    p.restore();
}

QPainterPath ridge(double base, double amplitude, double seed, double roughness) {
    QPainterPath path;
    path.moveTo(0, kHeight);
    for (int x = 0; x <= kCanvasWidth; x += 4) {
        const double y = base - amplitude * (0.6 * std::sin(x * 0.013 + seed) +
                                             0.3 * std::sin(x * 0.031 + 2 * seed) +
                                             roughness * std::sin(x * 0.11 + 3 * seed));
        path.lineTo(x, y);
    }
    path.lineTo(kCanvasWidth, kHeight);
    path.closeSubpath();
    return path;
}

// A jagged range of peaks.
QPainterPath mountains(double base, double height, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> step(35, 75), rise(0.45, 1.0);
    QPainterPath path;
    path.moveTo(0, kHeight);
    path.lineTo(0, base - height * 0.3);
    bool peak = true;
    for (double x = step(random) / 2; x < kCanvasWidth + 60; x += step(random), peak = !peak)
        path.lineTo(x, peak ? base - height * rise(random) : base - height * 0.25 * rise(random));
    path.lineTo(kCanvasWidth + 60, kHeight);
    path.closeSubpath();
    return path;
}

void paintAurora(QPainter& p) {
    verticalGradient(p, {0, 0, kCanvasWidth, kHeight},
                     {{0, QColor(4, 8, 28)}, {0.6, QColor(10, 30, 60)}, {1, QColor(20, 50, 80)}});
    stars(p, 350, {0, 0, kCanvasWidth, 260}, 9);
    for (int band = 0; band < 2; ++band)
        for (int x = -20; x < kCanvasWidth + 20; ++x) {
            const double top =
                70 + band * 45 + 35 * std::sin(x * 0.012 + band * 2) + 12 * std::sin(x * 0.05);
            const double length = 90 + 40 * std::sin(x * 0.021 + band);
            QLinearGradient curtain(x, top, x, top + length);
            const QColor tint = band == 0 ? QColor(90, 255, 160) : QColor(120, 200, 255);
            curtain.setColorAt(0, QColor(tint.red(), tint.green(), tint.blue(), 0));
            curtain.setColorAt(0.25,
                               QColor(tint.red(), tint.green(), tint.blue(), band == 0 ? 70 : 45));
            curtain.setColorAt(1, QColor(40, 120, 90, 0));
            p.fillRect(QRectF(x, top, 1, length), curtain);
        }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 42, 66));
    p.drawPath(mountains(290, 70, 11));
    QLinearGradient snow(0, 250, 0, 400);
    snow.setColorAt(0, QColor(200, 218, 240));
    snow.setColorAt(0.5, QColor(90, 110, 140));
    snow.setColorAt(1, QColor(30, 40, 60));
    p.setBrush(snow);
    p.drawPath(mountains(330, 60, 5));
    p.setBrush(QColor(8, 14, 26));
    p.drawPath(ridge(392, 12, 2.0, 0.5));
}

void paintGeometry(QPainter& p) {
    p.fillRect(0, 0, kCanvasWidth, kHeight, QColor(242, 234, 214));
    const QPointF centre(260, 200);
    p.setPen(Qt::NoPen);
    for (int ray = 0; ray < 24; ++ray) {
        QPainterPath wedge;
        wedge.moveTo(centre);
        wedge.arcTo(QRectF(centre.x() - 400, centre.y() - 400, 800, 800), ray * 15.0, 7.5);
        wedge.closeSubpath();
        p.setBrush(QColor::fromHsvF(std::fmod(0.02 + ray / 24.0, 1.0), 0.22, 0.98));
        p.drawPath(wedge);
    }
    const QColor rings[] = {QColor(28, 48, 96), QColor(214, 64, 48), QColor(242, 186, 52),
                            QColor(32, 132, 132), QColor(242, 234, 214)};
    for (int i = 0; i < 5; ++i) {
        p.setBrush(rings[i]);
        const double r = 150 - i * 28;
        p.drawEllipse(centre, r, r);
    }
    p.save();
    p.translate(centre);
    for (int i = 0; i < 3; ++i) {
        p.rotate(30);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(28, 48, 96), 3));
        p.drawRect(QRectF(-26, -26, 52, 52));
    }
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 64, 48));
    p.drawPolygon(QPolygonF({QPointF(30, 370), QPointF(90, 270), QPointF(150, 370)}));
    p.setBrush(QColor(28, 48, 96));
    p.drawRect(QRectF(400, 40, 80, 80));
    p.setBrush(QColor(242, 186, 52));
    p.drawEllipse(QPointF(470, 340), 34, 34);
}

void paintLagoon(QPainter& p) {
    const double horizon = 190;
    verticalGradient(p, {0, 0, kCanvasWidth, horizon},
                     {{0, QColor(40, 110, 200)}, {1, QColor(170, 215, 245)}});
    p.setPen(Qt::NoPen);
    for (auto [x, y, s] : {std::array{110.0, 70.0, 1.0}, {360, 110, 0.8}, {250, 40, 0.6}}) {
        p.setBrush(QColor(255, 255, 255, 215));
        for (auto [dx, dy, r] :
             {std::array{0.0, 0.0, 26.0}, {28, -10, 30}, {58, 2, 24}, {-26, 6, 18}, {84, 8, 16}})
            p.drawEllipse(QPointF(x + dx * s, y + dy * s), r * s, r * 0.75 * s);
    }
    verticalGradient(
        p, {0, horizon, kCanvasWidth, kHeight - horizon},
        {{0, QColor(20, 120, 150)}, {0.5, QColor(40, 180, 180)}, {1, QColor(120, 220, 200)}});
    p.setBrush(Qt::NoBrush);
    for (double y = horizon + 6; y < 330; y += 7 + (y - horizon) * 0.06) {
        p.setPen(QPen(QColor(220, 250, 250, 110), 1 + (y - horizon) * 0.01));
        QPainterPath wave;
        wave.moveTo(0, y);
        for (int x = 0; x <= kCanvasWidth; x += 6) wave.lineTo(x, y + 2 * std::sin(x * 0.05 + y));
        p.drawPath(wave);
    }
    p.setPen(Qt::NoPen);
    QLinearGradient sand(0, 320, 0, 400);
    sand.setColorAt(0, QColor(245, 225, 170));
    sand.setColorAt(1, QColor(220, 185, 120));
    p.setBrush(sand);
    QPainterPath beach;
    beach.moveTo(0, 335);
    beach.cubicTo(180, 310, 340, 345, kCanvasWidth, 325);
    beach.lineTo(kCanvasWidth, kHeight);
    beach.lineTo(0, kHeight);
    p.drawPath(beach);
    // A sailing boat.
    p.setBrush(QColor(120, 60, 40));
    p.drawPolygon(
        QPolygonF({QPointF(330, 232), QPointF(390, 232), QPointF(380, 242), QPointF(340, 242)}));
    p.setBrush(QColor(255, 255, 250));
    p.drawPolygon(QPolygonF({QPointF(358, 228), QPointF(358, 160), QPointF(388, 226)}));
    p.setBrush(QColor(230, 90, 70));
    p.drawPolygon(QPolygonF({QPointF(355, 228), QPointF(355, 175), QPointF(334, 226)}));
}

void paintHills(QPainter& p) {
    verticalGradient(
        p, {0, 0, kCanvasWidth, kHeight},
        {{0, QColor(110, 170, 230)}, {0.55, QColor(230, 230, 210)}, {1, QColor(240, 220, 180)}});
    glowDisc(p, {400, 90}, 22, QColor(255, 250, 220), QColor(255, 230, 160, 120));
    p.setPen(Qt::NoPen);
    const std::array<QColor, 5> greens = {QColor(150, 180, 170), QColor(120, 170, 110),
                                          QColor(90, 150, 70), QColor(60, 120, 50),
                                          QColor(40, 90, 35)};
    for (int layer = 0; layer < 5; ++layer) {
        QLinearGradient shade(0, 180 + layer * 40, 0, kHeight);
        shade.setColorAt(0, greens[layer].lighter(115));
        shade.setColorAt(1, greens[layer].darker(130));
        p.setBrush(shade);
        p.drawPath(ridge(215 + layer * 42, 28 - layer * 3, layer * 1.7, 0.05));
    }
}

void caption(QPainter& p, const QString& text, QColor colour, double y, int size) {
    QFont font("DejaVu Sans");
    font.setPixelSize(size);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(0, y, kCanvasWidth, size * 2), Qt::AlignHCenter | Qt::AlignTop, text);
}

void paintShutdown(QPainter& p) {
    verticalGradient(
        p, {0, 0, kCanvasWidth, kHeight},
        {{0, QColor(12, 30, 70)}, {0.6, QColor(30, 70, 130)}, {1, QColor(60, 110, 170)}});
    glowDisc(p, {260, 150}, 26, QColor(230, 240, 255), QColor(140, 180, 240, 110));
    p.setPen(QPen(QColor(12, 30, 70), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(242, 132, 36, 36), 120 * 16, 300 * 16);
    p.drawLine(QPointF(260, 126), QPointF(260, 148));
    caption(p, "Please wait while your computer shuts down.", QColor(240, 244, 255), 250, 20);
}

void paintFinal(QPainter& p) {
    p.fillRect(0, 0, kCanvasWidth, kHeight, QColor(0, 0, 0));
    QRadialGradient dusk(QPointF(260, 400), 380);
    dusk.setColorAt(0, QColor(60, 28, 10));
    dusk.setColorAt(1, QColor(0, 0, 0));
    p.fillRect(0, 0, kCanvasWidth, kHeight, dusk);
    caption(p, "It's now safe to turn off", QColor(255, 150, 40), 150, 30);
    caption(p, "your computer.", QColor(255, 150, 40), 192, 30);
}

void write(const fs::path& path, const TBitmap& bitmap) {
    const std::string bytes = EncodeBmp8(bitmap);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "make_logos: cannot write %s\n", path.string().c_str());
        std::exit(1);
    }
}

TBitmap render(const Logo& logo) {
    QImage canvas(kCanvasWidth, kHeight, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    logo.paint(painter);
    painter.end();
    return reduce(canvas, logo);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: make_logos EXAMPLES_DIR WINDOWS_DIR\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const fs::path examples = argv[1], windows = argv[2];
    fs::create_directories(examples);
    fs::create_directories(windows);

    const Logo logos[] = {
        {"Sunrise", paintSunrise, glow(QColor(120, 40, 20), QColor(255, 210, 120))},
        {"Starfield", paintStarfield, glow(QColor(10, 20, 70), QColor(150, 200, 255))},
        {"Aurora", paintAurora, {}},
        {"Geometry", paintGeometry, {}},
        {"Lagoon", paintLagoon, glow(QColor(10, 80, 110), QColor(170, 245, 235))},
        {"Hills", paintHills, {}},
    };
    for (const Logo& logo : logos)
        write(examples / (std::string(logo.name) + ".bmp"), render(logo));
    write(windows / "LOGOW.SYS", render({"Shutdown", paintShutdown, {}}));
    write(windows / "LOGOS.SYS", render({"Final", paintFinal, {}}));
    return 0;
}
