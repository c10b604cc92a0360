#pragma once
// Logos and pictures: the logo rule, loading logos and pictures, and building a logo
// from a picture.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/Progress.h"
#include "image/Bitmap.h"

constexpr int kLogoWidth = 320;
constexpr int kLogoHeight = 400;

// How a picture is fitted into the logo.
enum class TStretchMode : std::uint8_t { stretch = 0, crop = 1, zoom = 2 };

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TSize&) const = default;
};

// A drawing surface of the user interface.
class TCanvas {
public:
    virtual ~TCanvas() = default;
    virtual TRect ClipRect() const = 0;
    virtual void FillRect(const TRect& rect, TRGBColour colour) = 0;
};

// 2^bits per pixel of a bitmap, 16777216 for a JPEG picture; a 32-bit bitmap holds
// 24 bits of colour and counts 16777216 as well.
std::int32_t ColourCount(const TBitmap& image);

// 320 by 400 pixels with 256 colours.
bool IsLogoImage(const TBitmap* image);
// Reads the file as a bitmap whatever its name; false for anything unreadable.
bool IsLogoFile(std::string_view path);

// The file read with the bitmap reader; a file larger than maxBytes is refused unread.
TBitmap LoadBitmapFile(std::string_view path, std::uintmax_t maxBytes);
// Loads a current logo for display. Afterwards image is empty and size (0, 0) unless the
// file is a logo; a bitmap that is no logo raises EInvalidLogo, reading errors leave as
// the reader raised them.
void LoadLogo(std::string_view path, TBitmap& image, TSize& size);

void FillBlack(TCanvas& canvas);
// Our displays have no palettes to realise, so this only tells whether the logo brings
// colours of its own to show. The canvas is where a palette display would realise them.
bool RealizeLogoPalette(const TBitmap* image, TCanvas& canvas);

// The reader's table of picture formats, chosen by extension without regard to case. Logo
// files ("sys") count as bitmaps only where the caller allows them.
enum class TPictureKind { Bitmap, Jpeg, Icon, Metafile };
struct TPictureFormat {
    std::string_view Extension;
    std::string_view Description;
    TPictureKind Kind;
};
enum class TLogoFiles { Refused, Allowed };
const TPictureFormat* FindPictureFormat(std::string_view extension, TLogoFiles logoFiles);
// Extension of a path without its dot ("" when it has none).
std::string ExtractFileExt(std::string_view path);

// Reads a bitmap, JPEG or (where allowed) logo file into an 8-bit image with its own colour
// table (8-bit bitmaps), the JPEG decoder's 236-colour map, or the halftone palette (other
// bitmaps). colours receives the colour count as read. EFOpenError and friends when the
// file can't be read, EInvalidGraphic for an unknown extension or damaged data,
// EConvertError for a picture kind that can't become a bitmap.
std::unique_ptr<TBitmap> LoadPicture(std::string_view path, std::int32_t& colours,
                                     const TProgressEvent& progress, TLogoFiles logoFiles);
// The same for a picture of the given kind held in memory.
std::unique_ptr<TBitmap> DecodePicture(std::span<const std::uint8_t> data, TPictureKind kind,
                                       std::int32_t& colours, const TProgressEvent& progress);

// Whether the picture fits, unscaled, inside the logo's window of the picture.
bool FitsInsideLogo(const TBitmap& image, bool aspectCorrection);

// The part of a width x height picture that fills the logo, centred on the picture; it
// reaches outside the picture where the logo gets black bands.
struct TSourceRect {
    long long X = 0;
    long long Y = 0;
    long long Width = 0;
    long long Height = 0;
    bool operator==(const TSourceRect&) const = default;
};
TSourceRect LogoSourceRect(int width, int height, bool aspectCorrection, TStretchMode mode);

// A new 320 by 400 logo with the picture's colour table; EGDIError "CreateCompatibleBitmap"
// when it can't be made.
std::unique_ptr<TBitmap> ConvertToLogo(const TBitmap& image, bool aspectCorrection,
                                       TStretchMode mode);
