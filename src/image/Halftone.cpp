#include "image/Halftone.h"

#include <array>
#include <memory>

namespace {

constexpr int kCubeLevels = 6;
constexpr int kCubeStep = 51;  // 255 / (kCubeLevels - 1)
constexpr int kCubeSize = kCubeLevels * kCubeLevels * kCubeLevels;
constexpr int kGreyCount = 256 - kCubeSize;

// Eight extra greys in each of the five gaps between the cube's own greys.
std::array<std::uint8_t, kGreyCount> extraGreys() {
    std::array<std::uint8_t, kGreyCount> greys{};
    int count = 0;
    for (int gap = 0; gap < kCubeLevels - 1; ++gap)
        for (int step = 1; step <= 8; ++step)
            greys[count++] = std::uint8_t(gap * kCubeStep + (step * kCubeStep + 4) / 9);
    return greys;
}

int squaredDistance(int red, int green, int blue, TRGBColour colour) {
    int dr = red - colour.red, dg = green - colour.green, db = blue - colour.blue;
    return dr * dr + dg * dg + db * db;
}

// Nearest entry without a search: the cube is a grid (nearest level per channel), and the
// nearest grey is the one nearest to the mean of the channels.
std::uint8_t nearestHalftone(int red, int green, int blue) {
    const auto& palette = HalftonePalette();
    auto level = [](int value) { return (value + kCubeStep / 2) / kCubeStep; };
    int cube = (level(red) * kCubeLevels + level(green)) * kCubeLevels + level(blue);
    int best = cube;
    int bestDistance = squaredDistance(red, green, blue, palette[cube]);
    int mean = (red + green + blue + 1) / 3;
    for (int i = kCubeSize; i < 256; ++i) {
        if (palette[i].red + 6 < mean || palette[i].red > mean + 6)
            continue;
        int distance = squaredDistance(red, green, blue, palette[i]);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return std::uint8_t(best);
}

std::unique_ptr<std::uint8_t[]> buildTable() {
    auto table = std::make_unique<std::uint8_t[]>(1 << 18);
    for (int r = 0; r < 64; ++r)
        for (int g = 0; g < 64; ++g)
            for (int b = 0; b < 64; ++b)
                table[r << 12 | g << 6 | b] = nearestHalftone(r * 4 + 2, g * 4 + 2, b * 4 + 2);
    return table;
}

}  // namespace

const std::vector<TRGBColour>& HalftonePalette() {
    static const std::vector<TRGBColour> palette = [] {
        std::vector<TRGBColour> colours;
        colours.reserve(256);
        for (int r = 0; r < kCubeLevels; ++r)
            for (int g = 0; g < kCubeLevels; ++g)
                for (int b = 0; b < kCubeLevels; ++b)
                    colours.push_back({std::uint8_t(r * kCubeStep), std::uint8_t(g * kCubeStep),
                                       std::uint8_t(b * kCubeStep)});
        for (std::uint8_t grey : extraGreys()) colours.push_back({grey, grey, grey});
        return colours;
    }();
    return palette;
}

THalftoneMatcher::THalftoneMatcher() {
    static const std::unique_ptr<std::uint8_t[]> table = buildTable();
    table_ = table.get();
}

std::uint8_t NearestColourIndex(const std::vector<TRGBColour>& table, TRGBColour colour) {
    std::size_t best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < table.size() && i < 256; ++i) {
        int distance = squaredDistance(colour.red, colour.green, colour.blue, table[i]);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return std::uint8_t(best);
}
