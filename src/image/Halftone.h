#pragma once
// The fixed palette that pictures without a colour table of their own are reduced to:
// a 6x6x6 colour cube and 40 further greys, so grey pictures keep a smooth ramp.

#include <cstdint>
#include <vector>

#include "image/Bitmap.h"

const std::vector<TRGBColour>& HalftonePalette();

// Index of the nearest halftone colour, through a table of 6 bits per channel.
class THalftoneMatcher {
public:
    THalftoneMatcher();
    std::uint8_t Index(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
        return table_[(red >> 2) << 12 | (green >> 2) << 6 | blue >> 2];
    }

private:
    const std::uint8_t* table_;
};

// Index of the entry of a colour table nearest to a colour (0 for an empty table).
std::uint8_t NearestColourIndex(const std::vector<TRGBColour>& table, TRGBColour colour);
