#pragma once
// Our BMP reader and writer. The reader checks the whole header before it allocates
// anything, never reads outside the file and refuses what it can't decode with
// EInvalidGraphic; the writer writes 8-bit bitmaps in the layout every logo has.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "image/Bitmap.h"

// Pictures with more pixels than this are refused, whatever their file claims.
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t(1) << 28;

enum class TBmpCompression : std::uint32_t { None = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

struct TBmpChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

// Everything the decoder needs, validated.
struct TBmpHeader {
    int Width = 0;
    int Height = 0;
    bool TopDown = false;
    int BitsPerPixel = 0;
    TBmpCompression Compression = TBmpCompression::None;
    std::vector<TRGBColour> Palette;  // as stored, at most 2^bits entries (<= 8 bits only)
    TBmpChannel Red, Green, Blue;     // 16 and 32 bits per pixel only
    std::int32_t XPelsPerMeter = 0;
    std::int32_t YPelsPerMeter = 0;
    std::uint32_t ImportantColours = 0;
    std::size_t DataOffset = 0;
    std::size_t DataSize = 0;  // bytes from DataOffset to the end of the pixel data
};

TBmpHeader ReadBmpHeader(std::span<const std::uint8_t> file);

// Pictures of up to 8 bits per pixel: Width * Height indexes, top row first. Pixels an RLE
// picture skips stay 0.
void DecodeBmpIndexes(std::span<const std::uint8_t> file, const TBmpHeader& header,
                      std::uint8_t* indexes);
// Pictures of 16, 24 and 32 bits per pixel, row by row; y counts from the top.
using TRgbRowSink = std::function<void(int y, const TRGBColour* row)>;
void DecodeBmpColours(std::span<const std::uint8_t> file, const TBmpHeader& header,
                      const TRgbRowSink& sink);

// The whole picture; true colour is reduced to the halftone palette on the way, a colour
// table is padded with black to 2^bits entries so that every index is valid.
TBitmap ReadBmp(std::span<const std::uint8_t> file);

// An 8-bit bitmap file: 256-entry colour table, rows bottom-up; the resolution and the
// important-colours field come from the image.
std::string EncodeBmp8(const TBitmap& image);
