#include "platform/drives/ShortName.h"

#include <QString>
#include <cctype>
#include <cstring>

namespace platform::drives {

namespace {

constexpr std::size_t kBase = 8;
constexpr std::size_t kExtension = 3;
constexpr int kMaxTail = 999999;

// The upper half of code page 437; the lower half is ASCII.
constexpr char16_t kCodePage437[] =
    u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄"
    u"▌▐▀"
    u"αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";
static_assert(std::size(kCodePage437) == 129);

// Characters an 8.3 name may hold besides letters and digits.
bool ValidShortCharacter(char c) {
    return std::isupper(static_cast<unsigned char>(c)) ||
           std::isdigit(static_cast<unsigned char>(c)) ||
           std::strchr("$%'-_@~`!(){}^#&", c) != nullptr;
}

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

ShortName Compose(std::string_view base, std::string_view extension) {
    ShortName name;
    name.fill(' ');
    std::memcpy(name.data(), base.data(), std::min(base.size(), kBase));
    std::memcpy(name.data() + kBase, extension.data(), std::min(extension.size(), kExtension));
    return name;
}

// Upper-case letters, invalid characters (and all that is not ASCII) as "_", spaces and
// dots left out.
std::string AliasCharacters(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = Upper(text[i]);
        if (c == ' ' || c == '.')
            continue;
        if (static_cast<unsigned char>(c) >= 0x80) {
            // One "_" for the whole UTF-8 sequence.
            while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80)
                ++i;
        }
        out += ValidShortCharacter(c) ? c : '_';
    }
    return out;
}

}  // namespace

std::optional<ShortName> ExactShortName(std::string_view name) {
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > kBase || extension.size() > kExtension ||
        extension.find('.') != std::string_view::npos ||
        (dot != std::string_view::npos && extension.empty())) {
        return std::nullopt;
    }
    std::string upper;
    for (char c : name) {
        if (c != '.' && !ValidShortCharacter(Upper(c)))
            return std::nullopt;
        upper += Upper(c);
    }
    return Compose(
        std::string_view(upper).substr(0, base.size()),
        std::string_view(upper).substr(base.size() + (dot == std::string_view::npos ? 0 : 1)));
}

std::optional<ShortName> AliasFor(std::string_view longName,
                                  const std::function<bool(const ShortName&)>& taken) {
    std::size_t lastDot = longName.rfind('.');
    if (lastDot == 0 || longName.find_first_not_of('.') > lastDot)
        lastDot = std::string_view::npos;  // leading dots belong to the name
    std::string base = AliasCharacters(longName.substr(0, lastDot));
    const std::string extension =
        lastDot == std::string_view::npos ? "" : AliasCharacters(longName.substr(lastDot + 1));
    if (base.empty())
        base = "_";
    for (int tail = 1; tail <= kMaxTail; ++tail) {
        const std::string suffix = "~" + std::to_string(tail);
        const std::string stem = base.substr(0, kBase - suffix.size()) + suffix;
        ShortName alias = Compose(stem, extension);
        if (!taken(alias))
            return alias;
    }
    return std::nullopt;
}

std::string ShortNameText(const ShortName& name) {
    std::string text;
    auto append = [&](std::size_t from, std::size_t count) {
        std::size_t end = from + count;
        while (end > from && name[end - 1] == ' ') --end;
        for (std::size_t i = from; i < end; ++i) {
            // A first byte 0x05 stands for 0xE5, which marks deleted entries.
            const std::uint8_t byte = i == 0 && name[i] == 0x05 ? 0xE5 : name[i];
            if (byte < 0x80)
                text += static_cast<char>(byte);
            else
                text += QString(QChar(kCodePage437[byte - 0x80])).toStdString();
        }
    };
    append(0, kBase);
    if (name[kBase] != ' ') {
        text += '.';
        append(kBase, kExtension);
    }
    return text;
}

std::uint8_t LongNameChecksum(const ShortName& name) {
    std::uint8_t sum = 0;
    for (std::uint8_t byte : name)
        sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + byte);
    return sum;
}

}  // namespace platform::drives
