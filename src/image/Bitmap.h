#pragma once
// Our image type: every picture the program holds is reduced to 8-bit indexes into a
// colour table of at most 256 entries; the source's bit depth is remembered.

#include <cstdint>
#include <vector>

struct TRGBColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const TRGBColour&) const = default;
};

class TBitmap {
public:
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;              // of the picture as read: 1, 4, 8, 16, 24, 32
    bool IsJpeg = false;               // decoded from a JPEG picture
    std::vector<std::uint8_t> Pixels;  // Width * Height indexes, top row first
    std::vector<TRGBColour> Colours;   // the colour table
    // Header fields a logo carries over from the file it was read from.
    std::int32_t XPelsPerMeter = 0;
    std::int32_t YPelsPerMeter = 0;
    std::uint32_t ImportantColours = 0;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    const std::uint8_t* Row(int y) const { return Pixels.data() + std::size_t(y) * Width; }
    std::uint8_t* Row(int y) { return Pixels.data() + std::size_t(y) * Width; }
};
