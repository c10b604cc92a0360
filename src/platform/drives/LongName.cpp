#include "platform/drives/LongName.h"

#include <QString>
#include <QUtf8StringView>
#include <cstring>

namespace platform::drives {

namespace {

constexpr std::size_t kMaxUnits = 255;
constexpr std::size_t kUnitsPerEntry = 13;
// Where an entry keeps its thirteen units.
constexpr std::array<std::size_t, kUnitsPerEntry> kUnitOffsets = {1,  3,  5,  7,  9,  14, 16,
                                                                  18, 20, 22, 24, 28, 30};
constexpr std::uint8_t kLongNameAttribute = 0x0F;
constexpr std::uint8_t kLastPiece = 0x40;

std::u16string ToUtf16(std::string_view name) {
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

}  // namespace

std::optional<std::string> StoredName(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
    if (name.empty() ||
        !QUtf8StringView(name.data(), static_cast<qsizetype>(name.size())).isValidUtf8()) {
        return std::nullopt;
    }
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr)
            return std::nullopt;
    }
    if (ToUtf16(name).size() > kMaxUnits)
        return std::nullopt;
    return std::string(name);
}

std::vector<RawEntry> LongNameEntries(std::string_view name, std::uint8_t checksum) {
    std::u16string units = ToUtf16(name);
    const std::size_t count = (units.size() + kUnitsPerEntry - 1) / kUnitsPerEntry;
    // A zero ends a name that does not fill its last entry; 0xFFFF fills the rest.
    if (units.size() % kUnitsPerEntry != 0)
        units.push_back(0);
    units.resize(count * kUnitsPerEntry, 0xFFFF);
    std::vector<RawEntry> entries;
    for (std::size_t piece = count; piece >= 1; --piece) {
        RawEntry entry{};
        entry[0] = static_cast<std::uint8_t>(piece | (piece == count ? kLastPiece : 0));
        entry[11] = kLongNameAttribute;
        entry[13] = checksum;
        for (std::size_t i = 0; i < kUnitsPerEntry; ++i) {
            const char16_t unit = units[(piece - 1) * kUnitsPerEntry + i];
            entry[kUnitOffsets[i]] = static_cast<std::uint8_t>(unit);
            entry[kUnitOffsets[i] + 1] = static_cast<std::uint8_t>(unit >> 8);
        }
        entries.push_back(entry);
    }
    return entries;
}

std::u16string LongNamePiece(const RawEntry& entry) {
    std::u16string units;
    for (std::size_t offset : kUnitOffsets) {
        const auto unit = static_cast<char16_t>(entry[offset] | entry[offset + 1] << 8);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return units;
}

std::string FromUtf16(const std::u16string& units) {
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toStdString();
}

}  // namespace platform::drives
