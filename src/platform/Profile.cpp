#include "platform/Profile.h"

#include <vector>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace platform {

namespace {

constexpr std::string_view kBlanks = " \t\v\f\x1a";  // ^Z: DOS end-of-file, found in old files
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kMaxValueLength = 1023;

std::string_view Trim(std::string_view text) {
    auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Offsets into the file's text; [begin, textEnd) is the line, [textEnd, end) its line end.
struct Line {
    std::size_t begin = 0;
    std::size_t textEnd = 0;
    std::size_t end = 0;
    bool HasLineEnd() const { return end > textEnd; }
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t position = text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    while (position < text.size()) {
        Line line;
        line.begin = position;
        std::size_t stop = text.find_first_of("\r\n", position);
        if (stop == std::string_view::npos)
            stop = text.size();
        line.textEnd = stop;
        line.end = stop;
        if (stop < text.size()) {
            // CR LF and LF CR are one line end each; a lone CR or LF is one too.
            char next = stop + 1 < text.size() ? text[stop + 1] : '\0';
            bool pair =
                (text[stop] == '\r' && next == '\n') || (text[stop] == '\n' && next == '\r');
            line.end = stop + (pair ? 2 : 1);
        }
        lines.push_back(line);
        position = line.end;
    }
    return lines;
}

enum class LineKind { Other, Header, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;       // section or key name, trimmed
    std::string_view value;      // key value, trimmed
    std::size_t valueBegin = 0;  // where an in-place change of the value starts
};

ParsedLine Parse(std::string_view text, const Line& line) {
    std::string_view whole = text.substr(line.begin, line.textEnd - line.begin);
    std::string_view content = whole.substr(0, whole.find('\0'));  // NUL ends the line's text
    std::string_view trimmed = Trim(content);
    ParsedLine parsed;
    if (trimmed.empty() || trimmed.front() == ';')
        return parsed;
    if (trimmed.front() == '[') {
        auto close = trimmed.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            parsed.kind = LineKind::Header;
            parsed.name = Trim(trimmed.substr(1, close - 1));
            return parsed;
        }
    }
    auto equals = content.find('=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = Trim(content.substr(0, equals));
    std::string_view afterEquals = content.substr(equals + 1);
    auto valueStart = afterEquals.find_first_not_of(kBlanks);
    if (valueStart == std::string_view::npos)
        valueStart = afterEquals.size();
    parsed.valueBegin = line.begin + equals + 1 + valueStart;
    parsed.value = Trim(afterEquals);
    return parsed;
}

std::string Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

// The buffer holds 1023 bytes; a UTF-8 character is not split at the cut.
std::string CutToBuffer(std::string value) {
    if (value.size() <= kMaxValueLength)
        return value;
    std::size_t cut = kMaxValueLength;
    std::size_t lead = cut;
    while (lead > 0 && cut - lead < 3 && (static_cast<unsigned char>(value[lead]) & 0xC0) == 0x80) {
        --lead;
    }
    if (lead < cut && static_cast<unsigned char>(value[lead]) >= 0xC0)
        cut = lead;
    value.resize(cut);
    return value;
}

// Where the asked-for section is: its header and the lines up to the next header.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t bodyEnd = 0;  // index of the next header, or the line count
};

std::optional<SectionSpan> FindSection(std::string_view text, const std::vector<Line>& lines,
                                       std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ParsedLine parsed = Parse(text, lines[i]);
        if (parsed.kind != LineKind::Header || !SameText(parsed.name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && Parse(text, lines[end]).kind != LineKind::Header) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

bool IsKeyLine(const ParsedLine& parsed, std::string_view key) {
    return parsed.kind == LineKind::Key && SameText(parsed.name, key);
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// What a line can hold without turning into other lines, another key or a header.
bool Storable(std::string_view section, std::string_view key,
              std::optional<std::string_view> value) {
    if (section.empty() || key.empty())
        return false;
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key))
        return false;
    if (key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';') {
        return false;
    }
    return !value || !HasLineBreakOrNul(*value);
}

// A new line takes the line end of its neighbour, else the file's first, else CR LF.
std::string LineEndNear(std::string_view text, const std::vector<Line>& lines, std::size_t index) {
    auto endOf = [&](const Line& line) {
        return std::string(text.substr(line.textEnd, line.end - line.textEnd));
    };
    if (index < lines.size() && lines[index].HasLineEnd())
        return endOf(lines[index]);
    for (const auto& line : lines) {
        if (line.HasLineEnd())
            return endOf(line);
    }
    return "\r\n";
}

std::string InsertedAfter(std::string_view text, const std::vector<Line>& lines, std::size_t index,
                          const std::string& newLine) {
    std::string eol = LineEndNear(text, lines, index);
    const Line& line = lines[index];
    std::string result(text.substr(0, line.end));
    // After a last line without a line end the file keeps ending without one.
    result += line.HasLineEnd() ? newLine + eol : eol + newLine;
    result += text.substr(line.end);
    return result;
}

std::string WithNewSection(std::string_view text, const std::vector<Line>& lines,
                           std::string_view section, const std::string& keyLine) {
    std::string header = "[" + std::string(section) + "]";
    std::string eol = LineEndNear(text, lines, lines.empty() ? 0 : lines.size() - 1);
    std::string result(text);
    if (lines.empty() || lines.back().HasLineEnd())
        return result + header + eol + keyLine + eol;
    return result + eol + header + eol + keyLine;
}

std::string WithoutKey(std::string_view text, const std::vector<Line>& lines,
                       const SectionSpan& span, std::string_view key) {
    // Every line of the name goes: a second one would otherwise be read in its place.
    std::string result;
    std::size_t copied = 0;
    for (std::size_t i = span.header + 1; i < span.bodyEnd; ++i) {
        if (!IsKeyLine(Parse(text, lines[i]), key))
            continue;
        result += text.substr(copied, lines[i].begin - copied);
        copied = lines[i].end;
    }
    result += text.substr(copied);
    return result;
}

}  // namespace

namespace profile {

std::optional<std::string> ReadValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty())
        return std::nullopt;
    auto lines = SplitLines(text);
    auto span = FindSection(text, lines, section);
    if (!span)
        return std::nullopt;
    for (std::size_t i = span->header + 1; i < span->bodyEnd; ++i) {
        ParsedLine parsed = Parse(text, lines[i]);
        if (IsKeyLine(parsed, key))
            return CutToBuffer(Unquoted(parsed.value));
    }
    return std::nullopt;
}

std::string WithValue(std::string_view text, std::string_view section, std::string_view key,
                      std::optional<std::string_view> value) {
    section = Trim(section);
    key = Trim(key);
    if (!Storable(section, key, value))
        return std::string(text);
    auto lines = SplitLines(text);
    auto span = FindSection(text, lines, section);
    if (!value)
        return span ? WithoutKey(text, lines, *span, key) : std::string(text);
    std::string keyLine = std::string(key) + "=" + std::string(*value);
    if (!span)
        return WithNewSection(text, lines, section, keyLine);
    std::size_t insertAfter = span->header;
    for (std::size_t i = span->header + 1; i < span->bodyEnd; ++i) {
        ParsedLine parsed = Parse(text, lines[i]);
        if (IsKeyLine(parsed, key)) {
            // The value alone changes: key spelling, blanks and line end stay.
            return std::string(text.substr(0, parsed.valueBegin)) + std::string(*value) +
                   std::string(text.substr(lines[i].textEnd));
        }
        if (parsed.kind == LineKind::Key)
            insertAfter = i;
    }
    return InsertedAfter(text, lines, insertAfter, keyLine);
}

}  // namespace profile

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view fileName) {
    // The default goes through the same buffer as a value.
    std::string fallback = CutToBuffer(std::string(defaultValue));
    // As FileExists sees it: a folder is no file.
    const std::optional<std::string> text = ReadFileIfExists(fileName, kMaxProfileFileBytes);
    if (!text)
        return fallback;
    return profile::ReadValue(*text, section, key).value_or(fallback);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, std::string_view fileName) {
    if (!Storable(Trim(section), Trim(key), value))
        return false;
    try {
        const bool exists = GetFileAttributes(fileName) != INVALID_FILE_ATTRIBUTES;
        if (!exists && !value)
            return true;  // nothing to delete, and nothing is created
        std::string text = exists ? ReadFile(fileName, kMaxProfileFileBytes) : "";
        std::string changed = profile::WithValue(text, section, key, value);
        if (!value && changed == text)
            return true;
        WriteFileAtomic(fileName, changed);
        return true;
    } catch (const EDiskImageError&) {
        throw;  // the user must learn why, as with every change of a file
    } catch (const std::exception&) {
        return false;
    }
}

std::string GetWindowsDirectory() {
    std::string directory;
    try {
        directory = GetPrivateProfileString("Paths", "WinDir", "", "C:\\MSDOS.SYS");
    } catch (const Exception&) {
        // As on Windows: the standard folder. Where msdos.sys itself is used, its error shows.
    }
    if (directory.empty())
        return "C:\\WINDOWS";
    while (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
    return directory;
}

std::string GetSystemDirectory() {
    std::string windows = GetWindowsDirectory();
    if (windows.back() != '\\')
        windows += '\\';
    return windows + "SYSTEM";
}

}  // namespace platform
