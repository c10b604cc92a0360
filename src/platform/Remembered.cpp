#include "platform/Remembered.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Errors.h"
#include "platform/HostFile.h"
#include "platform/Machine.h"

namespace platform {

namespace {

// The newest facts; older ones are found out again when needed.
constexpr std::size_t kMaxFacts = 32;

std::filesystem::path FactsFile() {
    return CurrentMachine().Root() / "remembered";
}

// One line a fact: its topic and the file's stamp, then the fact.
std::string FactKey(const FileStamp& stamp, std::string_view topic) {
    return std::string(topic) + ' ' + std::to_string(stamp.device) + ' ' +
           std::to_string(stamp.inode) + ' ' + std::to_string(stamp.size) + ' ' +
           std::to_string(stamp.modified) + ' ' + std::to_string(stamp.changed) + ' ';
}

// The lines of the machine's facts file, read once for each machine a run uses.
std::vector<std::string>& FactLines() {
    static std::filesystem::path readFrom;
    static std::vector<std::string> lines;
    if (readFrom != FactsFile()) {
        readFrom = FactsFile();
        lines.clear();
        std::string text;
        try {
            text = host::ReadWhole(readFrom, readFrom.string(), kMaxProfileFileBytes);
        } catch (const Exception&) {
            // None kept yet, or none that can be read: all is found out again.
        }
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            lines.emplace_back(text, start, end - start);
            start = end + 1;
        }
    }
    return lines;
}

}  // namespace

std::optional<std::string> Recalled(const FileStamp& stamp, std::string_view topic) {
    const std::string key = FactKey(stamp, topic);
    for (const std::string& line : FactLines()) {
        if (line.starts_with(key))
            return line.substr(key.size());
    }
    return std::nullopt;
}

void Remember(const FileStamp& stamp, std::string_view topic, std::string_view fact) {
    std::vector<std::string>& lines = FactLines();
    // In place of what was there for the same file, which Recalled would find first.
    const std::string key = FactKey(stamp, topic);
    std::erase_if(lines, [&](const std::string& line) { return line.starts_with(key); });
    lines.push_back(key + std::string(fact));
    if (lines.size() > kMaxFacts)
        lines.erase(lines.begin(), lines.end() - kMaxFacts);
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    try {
        const std::filesystem::path file = FactsFile();
        host::ReplaceAtomically(file, file.string(), text);
    } catch (const Exception&) {
    }
}

}  // namespace platform
