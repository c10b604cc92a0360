#include "image/BmpTools.h"

#include <cmath>
#include <new>
#include <span>
#include <vector>

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "image/BmpCodec.h"
#include "image/Halftone.h"
#include "image/Jpeg.h"
#include "platform/Errors.h"
#include "platform/Files.h"

namespace {

constexpr std::int32_t kTrueColourCount = 16777216;

std::span<const std::uint8_t> bytesOf(const std::string& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()};
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameExtension(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::string_view fileNameOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/:");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

constexpr TPictureFormat kPictureFormats[] = {
    {"jpg", "JPEG Image File", TPictureKind::Jpeg},
    {"jpeg", "JPEG Image File", TPictureKind::Jpeg},
    {"wmf", "Metafiles", TPictureKind::Metafile},
    {"emf", "Enhanced Metafiles", TPictureKind::Metafile},
    {"ico", "Icons", TPictureKind::Icon},
    {"bmp", "Bitmaps", TPictureKind::Bitmap},
};
constexpr TPictureFormat kLogoFileFormat = {"sys", "Logo file", TPictureKind::Bitmap};

// Bitmaps with fewer than 256 colours get the halftone palette; deeper ones already have it.
void reduceToHalftone(TBitmap& image) {
    if (image.BitsPerPixel >= 8)
        return;
    const THalftoneMatcher matcher;
    std::uint8_t map[256] = {};
    for (std::size_t i = 0; i < image.Colours.size() && i < 256; ++i)
        map[i] = matcher.Index(image.Colours[i].red, image.Colours[i].green, image.Colours[i].blue);
    for (auto& pixel : image.Pixels) pixel = map[pixel];
    image.Colours = HalftonePalette();
}

[[noreturn]] void cannotAssign(const char* className) {
    throw platform::EConvertError(Format("Cannot assign a %s to a %s", {className, "TBitmap"}));
}

std::uint32_t littleEndian(std::span<const std::uint8_t> data, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | std::uint8_t(data[at + i]);
    return value;
}

// Icons and metafiles are checked as far as their readers would before they are refused as
// bitmaps, so that a damaged one is an invalid picture like any other.
void checkIcon(std::span<const std::uint8_t> data) {
    const bool valid = data.size() >= 6 && littleEndian(data, 0, 2) == 0 &&
                       littleEndian(data, 2, 2) == 1 && littleEndian(data, 4, 2) > 0 &&
                       data.size() >= 6 + 16 * std::size_t(littleEndian(data, 4, 2));
    if (!valid)
        throw platform::EInvalidGraphic("Icon image is not valid");
}

// An enhanced metafile by its header record, else a placeable Windows metafile by its key
// and checksum.
void checkMetafile(std::span<const std::uint8_t> data) {
    constexpr std::size_t kEnhancedHeaderSize = 88;
    constexpr std::uint32_t kEnhancedSignature = 0x464D4520;  // " EMF"
    constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
    constexpr std::size_t kPlaceableHeaderSize = 22;
    if (data.size() > kEnhancedHeaderSize && littleEndian(data, 0, 4) == 1 &&
        littleEndian(data, 40, 4) == kEnhancedSignature)
        return;
    bool valid = data.size() >= kPlaceableHeaderSize && littleEndian(data, 0, 4) == kPlaceableKey;
    if (valid) {
        std::uint32_t checksum = 0;
        for (std::size_t at = 0; at < 20; at += 2) checksum ^= littleEndian(data, at, 2);
        valid = checksum == littleEndian(data, 20, 2);
    }
    if (!valid)
        throw platform::EInvalidGraphic("Metafile is not valid");
}

// Every loaded picture has 8 bits per pixel; only the colour count tells what it was.
std::unique_ptr<TBitmap> asLoaded(TBitmap image) {
    image.BitsPerPixel = 8;
    image.IsJpeg = false;
    return std::make_unique<TBitmap>(std::move(image));
}

// Round to the nearest integer, a half to the even neighbour.
long long roundEven(long double value) {
    return std::llrint(value);
}

// A value held with a 40-bit significand, as the proportions of the source are stored.
long double round40(long double value) {
    int exponent = 0;
    const long double fraction = std::frexp(value, &exponent);
    return std::ldexp(std::nearbyint(std::ldexp(fraction, 40)), exponent - 40);
}

// Target column or row -> source position; outside the picture: -1.
std::vector<int> sampleMap(int targetSize, long long origin, long long size, int sourceSize) {
    std::vector<int> map(targetSize);
    for (int t = 0; t < targetSize; ++t) {
        const long long s = origin + (2LL * t + 1) * size / (2LL * targetSize);
        map[t] = s >= 0 && s < sourceSize ? int(s) : -1;
    }
    return map;
}

}  // namespace

std::int32_t ColourCount(const TBitmap& image) {
    if (image.IsJpeg)
        return kTrueColourCount;
    switch (image.BitsPerPixel) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 24:
            return std::int32_t(1) << image.BitsPerPixel;
        case 32:
            return kTrueColourCount;
        default:
            return 0;
    }
}

bool IsLogoImage(const TBitmap* image) {
    return image != nullptr && !image->IsJpeg && image->Height == kLogoHeight &&
           image->Width == kLogoWidth && ColourCount(*image) == 256;
}

bool IsLogoFile(std::string_view path) {
    try {
        const TBitmap image = LoadBitmapFile(path, platform::kMaxLogoFileBytes);
        return IsLogoImage(&image);
    } catch (const std::exception&) {
        return false;
    }
}

TBitmap LoadBitmapFile(std::string_view path, std::uintmax_t maxBytes) {
    const std::string data = platform::ReadFile(path, maxBytes);
    return ReadBmp(bytesOf(data));
}

void LoadLogo(std::string_view path, TBitmap& image, TSize& size) {
    image = TBitmap{};
    size = {};
    TBitmap loaded = LoadBitmapFile(path, platform::kMaxLogoFileBytes);
    if (!IsLogoImage(&loaded))
        throw EInvalidLogo(Format("File \"%s\" is no valid Logo.", {fileNameOf(path)}));
    size = {loaded.Width, loaded.Height};
    image = std::move(loaded);
}

void FillBlack(TCanvas& canvas) {
    canvas.FillRect(canvas.ClipRect(), TRGBColour{});
}

bool RealizeLogoPalette(const TBitmap* image, TCanvas& /*canvas*/) {
    return image != nullptr && !image->Empty() && !image->Colours.empty();
}

const TPictureFormat* FindPictureFormat(std::string_view extension, TLogoFiles logoFiles) {
    for (const auto& format : kPictureFormats)
        if (sameExtension(format.Extension, extension))
            return &format;
    if (logoFiles == TLogoFiles::Allowed && sameExtension(kLogoFileFormat.Extension, extension))
        return &kLogoFileFormat;
    return nullptr;
}

std::string ExtractFileExt(std::string_view path) {
    const std::string_view name = fileNameOf(path);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::unique_ptr<TBitmap> LoadPicture(std::string_view path, std::int32_t& colours,
                                     const TProgressEvent& progress, TLogoFiles logoFiles) {
    const THourglass hourglass;
    const std::string extension = ExtractFileExt(path);
    const TPictureFormat* format = FindPictureFormat(extension, logoFiles);
    if (format == nullptr)
        throw platform::EInvalidGraphic(
            Format("Unknown picture file extension (.%s)", {extension}));
    if (format->Kind != TPictureKind::Jpeg) {
        const std::string data = platform::ReadFile(path, platform::kMaxPictureFileBytes);
        return DecodePicture(bytesOf(data), format->Kind, colours, progress);
    }
    // Streamed, so that a large picture is never held twice.
    const platform::ReadStream file =
        platform::OpenReadStream(path, platform::kMaxPictureFileBytes);
    colours = kTrueColourCount;
    return asLoaded(DecodeJpegFile(file.file.get(), file.size, progress));
}

std::unique_ptr<TBitmap> DecodePicture(std::span<const std::uint8_t> data, TPictureKind kind,
                                       std::int32_t& colours, const TProgressEvent& progress) {
    switch (kind) {
        case TPictureKind::Bitmap: {
            TBitmap image = ReadBmp(data);
            colours = ColourCount(image);
            if (colours != 256)
                reduceToHalftone(image);
            return asLoaded(std::move(image));
        }
        case TPictureKind::Jpeg:
            colours = kTrueColourCount;
            return asLoaded(DecodeJpeg(data, progress));
        case TPictureKind::Icon:
            checkIcon(data);
            break;
        case TPictureKind::Metafile:
            checkMetafile(data);
            break;
    }
    // Read and counted (0 colours) like any picture, but never made a bitmap.
    colours = 0;
    cannotAssign(kind == TPictureKind::Icon ? "TIcon" : "TMetafile");
}

bool FitsInsideLogo(const TBitmap& image, bool aspectCorrection) {
    return image.Height < kLogoHeight &&
           image.Width < kLogoWidth + 200 * (aspectCorrection ? 1 : 0);
}

TSourceRect LogoSourceRect(int width, int height, bool aspectCorrection, TStretchMode mode) {
    // 320/520 as a 40-bit significand holds it: just above 320/520.
    const long double K = aspectCorrection ? round40(320.0L / 520.0L) : 1.0L;
    const long double W = width, H = height;
    const long double R = round40(W / H);
    const long double T = 0.8L / K;
    const auto shrinkRows = [&] { return roundEven((H - 400 * K / (320 / W)) * 0.5L); };
    const auto shrinkColumns = [&] { return roundEven((W - (320 / K) / (400 / H)) * 0.5L); };
    long long x = 0, y = 0;
    switch (mode) {
        case TStretchMode::stretch:
            if (aspectCorrection) {
                if (R > T)
                    y = shrinkRows();
                else
                    x = shrinkColumns();
            }
            break;
        case TStretchMode::crop:
            x = roundEven((W - 320 / K) * 0.5L);
            y = roundEven((long double)(height - 400) * 0.5L);
            break;
        case TStretchMode::zoom:
            if (R < T)
                y = shrinkRows();
            else
                x = shrinkColumns();
            break;
    }
    return {x, y, width - 2 * x, height - 2 * y};
}

std::unique_ptr<TBitmap> ConvertToLogo(const TBitmap& image, bool aspectCorrection,
                                       TStretchMode mode) {
    if (image.Empty())
        throw EGDIError("CreateCompatibleBitmap");
    std::unique_ptr<TBitmap> logo;
    try {
        logo = std::make_unique<TBitmap>();
        logo->Pixels.assign(std::size_t(kLogoWidth) * kLogoHeight,
                            NearestColourIndex(image.Colours, TRGBColour{}));
    } catch (const std::bad_alloc&) {
        throw EGDIError("CreateCompatibleBitmap");
    }
    logo->Width = kLogoWidth;
    logo->Height = kLogoHeight;
    logo->BitsPerPixel = 8;
    logo->Colours = image.Colours;

    TSourceRect source = LogoSourceRect(image.Width, image.Height, aspectCorrection, mode);
    // A sliver of a very long picture may round to nothing; it still shows one line.
    source.Width = std::max(source.Width, 1LL);
    source.Height = std::max(source.Height, 1LL);
    const auto columns = sampleMap(kLogoWidth, source.X, source.Width, image.Width);
    const auto rows = sampleMap(kLogoHeight, source.Y, source.Height, image.Height);
    for (int y = 0; y < kLogoHeight; ++y) {
        if (rows[y] < 0)
            continue;
        const std::uint8_t* from = image.Row(rows[y]);
        std::uint8_t* to = logo->Row(y);
        for (int x = 0; x < kLogoWidth; ++x)
            if (columns[x] >= 0)
                to[x] = from[columns[x]];
    }
    return logo;
}
