#include "ImageTestUtils.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "image/BmpCodec.h"

namespace imagetest {

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

TBitmap MakeIndexed(int width, int height, std::vector<TRGBColour> colours,
                    const std::function<std::uint8_t(int x, int y)>& index) {
    TBitmap image;
    image.Width = width;
    image.Height = height;
    image.BitsPerPixel = 8;
    image.Colours = std::move(colours);
    image.Pixels.resize(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.Row(y)[x] = index(x, y);
    return image;
}

namespace {

std::string fileHeader(int width, int height, int bits, std::size_t paletteEntries,
                       std::size_t dataSize) {
    std::string out(54, '\0');
    const std::size_t offset = 54 + 4 * paletteEntries;
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out, 2, std::uint32_t(offset + dataSize));
    PutLe32(out, 10, std::uint32_t(offset));
    PutLe32(out, 14, 40);
    PutLe32(out, 18, std::uint32_t(width));
    PutLe32(out, 22, std::uint32_t(height));
    PutLe16(out, 26, 1);
    PutLe16(out, 28, std::uint16_t(bits));
    PutLe32(out, 34, std::uint32_t(dataSize));
    PutLe32(out, 46, std::uint32_t(paletteEntries));
    return out;
}

}  // namespace

std::string Encode24(int width, int height, const std::function<TRGBColour(int x, int y)>& colour) {
    const std::size_t stride = (std::size_t(width) * 3 + 3) / 4 * 4;
    std::string out = fileHeader(width, height, 24, 0, stride * height);
    for (int y = height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const TRGBColour c = colour(x, y);
            row[3 * x] = char(c.blue);
            row[3 * x + 1] = char(c.green);
            row[3 * x + 2] = char(c.red);
        }
        out += row;
    }
    return out;
}

std::string EncodePaletted(int bits, int width, int height, const std::vector<TRGBColour>& colours,
                           const std::function<std::uint8_t(int x, int y)>& index) {
    const std::size_t stride = (std::size_t(width) * bits + 31) / 32 * 4;
    std::string out = fileHeader(width, height, bits, colours.size(), stride * height);
    for (const auto& c : colours) out += {char(c.blue), char(c.green), char(c.red), '\0'};
    const int perByte = 8 / bits;
    for (int y = height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x)
            row[x / perByte] =
                char(row[x / perByte] | index(x, y) << (8 - bits * (x % perByte + 1)));
        out += row;
    }
    return out;
}

std::vector<TRGBColour> DecodeToColours(std::span<const std::uint8_t> file) {
    const TBmpHeader header = ReadBmpHeader(file);
    std::vector<TRGBColour> colours(std::size_t(header.Width) * header.Height);
    if (header.BitsPerPixel <= 8) {
        std::vector<std::uint8_t> indexes(colours.size());
        DecodeBmpIndexes(file, header, indexes.data());
        for (std::size_t i = 0; i < indexes.size(); ++i)
            colours[i] =
                indexes[i] < header.Palette.size() ? header.Palette[indexes[i]] : TRGBColour{};
    } else {
        DecodeBmpColours(file, header, [&](int y, const TRGBColour* row) {
            std::copy_n(row, header.Width, colours.begin() + std::ptrdiff_t(y) * header.Width);
        });
    }
    return colours;
}

void PutLe32(std::string& file, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[offset + i] = char(value >> (8 * i) & 0xFF);
}

void PutLe16(std::string& file, std::size_t offset, std::uint16_t value) {
    file[offset] = char(value & 0xFF);
    file[offset + 1] = char(value >> 8);
}

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveTool(const std::string& name) {
    return RunCommand("test -n \"$(command -v " + name + ")\"") == 0;
}

}  // namespace imagetest
