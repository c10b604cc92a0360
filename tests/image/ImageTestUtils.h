#pragma once
// Pictures made in the tests, and decoding to plain colours for comparisons.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "image/Bitmap.h"

namespace imagetest {

inline std::span<const std::uint8_t> Bytes(const std::string& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()};
}

std::string ReadHostFile(const std::filesystem::path& path);

// An 8-bit image whose index at (x, y) is index(x, y).
TBitmap MakeIndexed(int width, int height, std::vector<TRGBColour> colours,
                    const std::function<std::uint8_t(int x, int y)>& index);

// A 24-bit bitmap file, rows bottom-up.
std::string Encode24(int width, int height, const std::function<TRGBColour(int x, int y)>& colour);
// A bitmap file of 1 or 4 bits per pixel with the given colour table.
std::string EncodePaletted(int bits, int width, int height, const std::vector<TRGBColour>& colours,
                           const std::function<std::uint8_t(int x, int y)>& index);

// Every pixel of a bitmap file as a colour, top row first, through our decoder; indexes past
// the colour table read as black.
std::vector<TRGBColour> DecodeToColours(std::span<const std::uint8_t> file);

// Little-endian field edits of a bitmap file.
void PutLe32(std::string& file, std::size_t offset, std::uint32_t value);
void PutLe16(std::string& file, std::size_t offset, std::uint16_t value);

// Runs a command line through the shell; its exit code.
int RunCommand(const std::string& command);
bool HaveTool(const std::string& name);

}  // namespace imagetest
