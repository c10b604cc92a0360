#include "image/BmpCodec.h"

#include <algorithm>
#include <bit>

#include "image/Halftone.h"
#include "platform/Errors.h"

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kAlphaBitFields = 6;
constexpr std::size_t kLogoPaletteEntries = 256;

[[noreturn]] void invalidBitmap() {
    throw platform::EInvalidGraphic("Bitmap image is not valid");
}

void require(bool condition) {
    if (!condition)
        invalidBitmap();
}

// Little-endian fields at checked offsets.
class Fields {
public:
    explicit Fields(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint16_t U16(std::size_t offset) const {
        require(offset + 2 <= bytes_.size());
        return std::uint16_t(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t U32(std::size_t offset) const {
        require(offset + 4 <= bytes_.size());
        return std::uint32_t(bytes_[offset]) | std::uint32_t(bytes_[offset + 1]) << 8 |
               std::uint32_t(bytes_[offset + 2]) << 16 | std::uint32_t(bytes_[offset + 3]) << 24;
    }
    std::int32_t I32(std::size_t offset) const { return std::int32_t(U32(offset)); }

private:
    std::span<const std::uint8_t> bytes_;
};

bool knownHeaderSize(std::uint32_t size) {
    switch (size) {
        case 12:
        case 16:
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            return true;
        default:
            return false;
    }
}

bool isOs2V2(std::uint32_t headerSize) {
    return headerSize == 16 || headerSize == 64;
}

TBmpChannel channelOf(std::uint32_t mask) {
    TBmpChannel channel;
    channel.mask = mask;
    if (mask == 0)
        return channel;
    channel.shift = std::countr_zero(mask);
    channel.bits = std::popcount(mask);
    // A mask must be one run of bits.
    require(std::countr_one(mask >> channel.shift) == channel.bits);
    return channel;
}

std::uint64_t rowStride(const TBmpHeader& header) {
    return (std::uint64_t(header.Width) * header.BitsPerPixel + 31) / 32 * 4;
}

void readMasks(const Fields& fields, bool bitFields, TBmpHeader& header) {
    if (header.BitsPerPixel == 16 && !bitFields) {
        header.Red = channelOf(0x7C00);
        header.Green = channelOf(0x03E0);
        header.Blue = channelOf(0x001F);
        return;
    }
    if (header.BitsPerPixel == 32 && !bitFields) {
        header.Red = channelOf(0xFF0000);
        header.Green = channelOf(0x00FF00);
        header.Blue = channelOf(0x0000FF);
        return;
    }
    if (header.BitsPerPixel < 16 || header.BitsPerPixel == 24)
        return;
    // The masks follow a 40-byte header and are part of every longer one.
    std::size_t at = kFileHeaderSize + 40;
    header.Red = channelOf(fields.U32(at));
    header.Green = channelOf(fields.U32(at + 4));
    header.Blue = channelOf(fields.U32(at + 8));
    if (header.BitsPerPixel == 16)
        require((header.Red.mask | header.Green.mask | header.Blue.mask) <= 0xFFFF);
    require((header.Red.mask & header.Green.mask) == 0 &&
            (header.Red.mask & header.Blue.mask) == 0 &&
            (header.Green.mask & header.Blue.mask) == 0);
}

void readPalette(std::span<const std::uint8_t> file, std::size_t paletteStart,
                 std::uint32_t headerSize, std::uint32_t coloursUsed, TBmpHeader& header) {
    if (header.BitsPerPixel > 8)
        return;
    const std::uint64_t entrySize = headerSize == 12 ? 3 : 4;
    const std::uint64_t maxEntries = std::uint64_t(1) << header.BitsPerPixel;
    const std::uint64_t room = (header.DataOffset - paletteStart) / entrySize;
    // A colour table longer than the bit depth allows is skipped over, but it must exist.
    if (coloursUsed > maxEntries)
        require(coloursUsed <= room);
    std::uint64_t entries =
        coloursUsed != 0 ? std::min<std::uint64_t>(coloursUsed, maxEntries) : maxEntries;
    entries = std::min(entries, room);
    header.Palette.resize(entries);
    for (std::uint64_t i = 0; i < entries; ++i) {
        const std::uint8_t* entry = file.data() + paletteStart + i * entrySize;
        header.Palette[i] = {entry[2], entry[1], entry[0]};
    }
}

std::uint64_t pixelCount(const TBmpHeader& header) {
    return std::uint64_t(header.Width) * std::uint64_t(header.Height);
}

void checkDataSize(std::span<const std::uint8_t> file, TBmpHeader& header) {
    const std::uint64_t available = file.size() - header.DataOffset;
    if (header.Compression == TBmpCompression::Rle8 ||
        header.Compression == TBmpCompression::Rle4) {
        // Runs compress well, but a picture far larger than its data can justify is refused.
        require(pixelCount(header) <= (std::uint64_t(1) << 20) + available * 256);
        header.DataSize = available;
        return;
    }
    // The last row may lack its filler bytes.
    const std::uint64_t lastRow = (std::uint64_t(header.Width) * header.BitsPerPixel + 7) / 8;
    const std::uint64_t needed = rowStride(header) * (header.Height - 1) + lastRow;
    require(needed <= available);
    header.DataSize = needed;
}

// Pixel data of an uncompressed row, in file order.
const std::uint8_t* fileRow(std::span<const std::uint8_t> file, const TBmpHeader& header, int y) {
    const int stored = header.TopDown ? y : header.Height - 1 - y;
    return file.data() + header.DataOffset + rowStride(header) * std::uint64_t(stored);
}

void unpackRow(const std::uint8_t* source, int width, int bits, std::uint8_t* target) {
    if (bits == 8) {
        std::copy_n(source, width, target);
        return;
    }
    const int perByte = 8 / bits;
    const int mask = (1 << bits) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        target[x] = std::uint8_t(source[x / perByte] >> shift & mask);
    }
}

// Run-length decoding: every run, literal and jump is checked against the picture, so a
// damaged stream is refused instead of writing outside it.
class RleDecoder {
public:
    RleDecoder(std::span<const std::uint8_t> data, const TBmpHeader& header, std::uint8_t* indexes)
        : data_(data),
          header_(header),
          indexes_(indexes),
          four_(header.Compression == TBmpCompression::Rle4) {}

    void Run() {
        while (pos_ + 2 <= data_.size()) {
            const int count = data_[pos_];
            const int value = data_[pos_ + 1];
            pos_ += 2;
            if (count > 0) {
                repeat(count, value);
                continue;
            }
            switch (value) {
                case 0:  // end of line
                    x_ = 0;
                    ++row_;
                    break;
                case 1:  // end of picture
                    return;
                case 2:
                    jump();
                    break;
                default:
                    literal(value);
            }
        }
    }

private:
    void put(int index) {
        require(row_ < header_.Height);
        // Four-bit runs may fill the filler nibble of an odd width.
        if (x_ >= header_.Width) {
            require(four_ && x_ == header_.Width && header_.Width % 2 == 1);
            ++x_;
            return;
        }
        indexes_[std::size_t(header_.Height - 1 - row_) * header_.Width + x_] = std::uint8_t(index);
        ++x_;
    }

    void repeat(int count, int value) {
        for (int i = 0; i < count; ++i) put(four_ ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
    }

    void literal(int count) {
        const std::size_t bytes = four_ ? (std::size_t(count) + 1) / 2 : std::size_t(count);
        require(pos_ + bytes <= data_.size());
        for (int i = 0; i < count; ++i) {
            const int byte = data_[pos_ + (four_ ? i / 2 : i)];
            put(four_ ? (i % 2 == 0 ? byte >> 4 : byte & 15) : byte);
        }
        pos_ += (bytes + 1) & ~std::size_t(1);
    }

    void jump() {
        require(pos_ + 2 <= data_.size());
        x_ += data_[pos_];
        row_ += data_[pos_ + 1];
        pos_ += 2;
        require(x_ <= header_.Width && row_ <= header_.Height);
    }

    std::span<const std::uint8_t> data_;
    const TBmpHeader& header_;
    std::uint8_t* indexes_;
    bool four_;
    std::size_t pos_ = 0;
    int x_ = 0;
    int row_ = 0;  // from the bottom
};

std::uint8_t scaleChannel(std::uint32_t pixel, const TBmpChannel& channel) {
    if (channel.bits == 0)
        return 0;
    const std::uint64_t value = (pixel & channel.mask) >> channel.shift;
    if (channel.bits == 8)
        return std::uint8_t(value);
    const std::uint64_t max = (std::uint64_t(1) << channel.bits) - 1;
    return std::uint8_t((value * 255 * 2 + max) / (2 * max));
}

void putLe32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(char(value >> (8 * i) & 0xFF));
}

void putLe16(std::string& out, std::uint16_t value) {
    out.push_back(char(value & 0xFF));
    out.push_back(char(value >> 8));
}

}  // namespace

TBmpHeader ReadBmpHeader(std::span<const std::uint8_t> file) {
    const Fields fields(file);
    require(file.size() >= kFileHeaderSize + 12 && file[0] == 'B' && file[1] == 'M');
    TBmpHeader header;
    const std::uint32_t dataOffset = fields.U32(10);
    const std::uint32_t headerSize = fields.U32(14);
    require(knownHeaderSize(headerSize) && kFileHeaderSize + headerSize <= file.size());

    std::int64_t width, height;
    std::uint32_t planes, compression = 0, coloursUsed = 0;
    if (headerSize == 12) {
        width = fields.U16(18);
        height = fields.U16(20);
        planes = fields.U16(22);
        header.BitsPerPixel = fields.U16(24);
    } else {
        width = fields.I32(18);
        height = fields.I32(22);
        planes = fields.U16(26);
        header.BitsPerPixel = fields.U16(28);
        if (headerSize >= 40) {
            compression = fields.U32(30);
            header.XPelsPerMeter = fields.I32(38);
            header.YPelsPerMeter = fields.I32(42);
            coloursUsed = fields.U32(46);
            header.ImportantColours = fields.U32(50);
        }
    }
    require(planes == 1 && width > 0 && height != 0);
    header.TopDown = height < 0;
    height = height < 0 ? -height : height;
    require(std::uint64_t(width) * std::uint64_t(height) <= kMaxPicturePixels);
    header.Width = int(width);
    header.Height = int(height);

    const int bits = header.BitsPerPixel;
    require(bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
            bits == 32);
    const bool bitFields = (compression == 3 || compression == kAlphaBitFields) &&
                           !isOs2V2(headerSize) && (bits == 16 || bits == 32);
    require(compression == 0 || bitFields || (compression == 1 && bits == 8) ||
            (compression == 2 && bits == 4));
    header.Compression = bitFields ? TBmpCompression::BitFields : TBmpCompression(compression);
    const bool runLength = compression == 1 || compression == 2;
    require(!(runLength && header.TopDown));

    std::size_t paletteStart = kFileHeaderSize + headerSize;
    if (bitFields && headerSize == 40)
        paletteStart += compression == kAlphaBitFields ? 16 : 12;
    require(dataOffset >= paletteStart && dataOffset <= file.size());
    header.DataOffset = dataOffset;

    readMasks(fields, bitFields, header);
    readPalette(file, paletteStart, headerSize, coloursUsed, header);
    checkDataSize(file, header);
    return header;
}

void DecodeBmpIndexes(std::span<const std::uint8_t> file, const TBmpHeader& header,
                      std::uint8_t* indexes) {
    if (header.Compression == TBmpCompression::Rle8 ||
        header.Compression == TBmpCompression::Rle4) {
        std::fill_n(indexes, pixelCount(header), std::uint8_t(0));
        RleDecoder(file.subspan(header.DataOffset, header.DataSize), header, indexes).Run();
        return;
    }
    for (int y = 0; y < header.Height; ++y)
        unpackRow(fileRow(file, header, y), header.Width, header.BitsPerPixel,
                  indexes + std::size_t(y) * header.Width);
}

void DecodeBmpColours(std::span<const std::uint8_t> file, const TBmpHeader& header,
                      const TRgbRowSink& sink) {
    std::vector<TRGBColour> row(header.Width);
    for (int y = 0; y < header.Height; ++y) {
        const std::uint8_t* source = fileRow(file, header, y);
        if (header.BitsPerPixel == 24) {
            for (int x = 0; x < header.Width; ++x, source += 3)
                row[x] = {source[2], source[1], source[0]};
        } else {
            const bool wide = header.BitsPerPixel == 32;
            for (int x = 0; x < header.Width; ++x) {
                std::uint32_t pixel = source[0] | source[1] << 8;
                if (wide)
                    pixel |= std::uint32_t(source[2]) << 16 | std::uint32_t(source[3]) << 24;
                source += wide ? 4 : 2;
                row[x] = {scaleChannel(pixel, header.Red), scaleChannel(pixel, header.Green),
                          scaleChannel(pixel, header.Blue)};
            }
        }
        sink(y, row.data());
    }
}

TBitmap ReadBmp(std::span<const std::uint8_t> file) {
    TBmpHeader header = ReadBmpHeader(file);
    TBitmap image;
    image.Pixels.resize(pixelCount(header));
    if (header.BitsPerPixel <= 8) {
        DecodeBmpIndexes(file, header, image.Pixels.data());
        image.Colours = std::move(header.Palette);
        image.Colours.resize(std::size_t(1) << header.BitsPerPixel);
    } else {
        const THalftoneMatcher matcher;
        std::uint8_t* pixels = image.Pixels.data();
        const int width = header.Width;
        DecodeBmpColours(file, header, [&](int y, const TRGBColour* row) {
            std::uint8_t* target = pixels + std::size_t(y) * width;
            for (int x = 0; x < width; ++x)
                target[x] = matcher.Index(row[x].red, row[x].green, row[x].blue);
        });
        image.Colours = HalftonePalette();
    }
    image.Width = header.Width;
    image.Height = header.Height;
    image.BitsPerPixel = header.BitsPerPixel;
    image.XPelsPerMeter = header.XPelsPerMeter;
    image.YPelsPerMeter = header.YPelsPerMeter;
    image.ImportantColours = header.ImportantColours;
    return image;
}

std::string EncodeBmp8(const TBitmap& image) {
    const std::uint32_t stride = (std::uint32_t(image.Width) + 3) & ~3u;
    const std::uint32_t dataOffset = kFileHeaderSize + 40 + 4 * kLogoPaletteEntries;
    const std::uint32_t dataSize = stride * std::uint32_t(image.Height);
    std::string out;
    out.reserve(dataOffset + dataSize);
    out += "BM";
    putLe32(out, dataOffset + dataSize);
    putLe32(out, 0);  // two reserved words
    putLe32(out, dataOffset);
    putLe32(out, 40);
    putLe32(out, std::uint32_t(image.Width));
    putLe32(out, std::uint32_t(image.Height));
    putLe16(out, 1);
    putLe16(out, 8);
    putLe32(out, 0);
    putLe32(out, dataSize);
    putLe32(out, std::uint32_t(image.XPelsPerMeter));
    putLe32(out, std::uint32_t(image.YPelsPerMeter));
    putLe32(out, kLogoPaletteEntries);
    putLe32(out, image.ImportantColours);
    for (std::size_t i = 0; i < kLogoPaletteEntries; ++i) {
        const TRGBColour colour = i < image.Colours.size() ? image.Colours[i] : TRGBColour{};
        out += {char(colour.blue), char(colour.green), char(colour.red), '\0'};
    }
    const std::string filler(stride - std::uint32_t(image.Width), '\0');
    for (int y = image.Height - 1; y >= 0; --y) {
        out.append(reinterpret_cast<const char*>(image.Row(y)), std::size_t(image.Width));
        out += filler;
    }
    return out;
}
