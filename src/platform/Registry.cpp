#include "platform/Registry.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/HostFile.h"
#include "platform/Machine.h"
#include "platform/Text.h"

namespace platform {

namespace {

// The store is a REGEDIT4 file: a header line, then blocks of "[KEY PATH]" followed by
// value lines. String values are read and written; values of other types (dword:, hex:...)
// and comments are kept as the lines they were, so rewriting the store loses nothing.

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kLineEnd = "\r\n";

using KeyPath = std::vector<std::string>;  // the root key's name first

struct Entry {
    bool isValue = false;             // else a comment line
    std::string name;                 // value name; empty for the default value ("@")
    std::optional<std::string> text;  // the data of a string value
    std::vector<std::string> lines;   // the lines as read, for anything but a string value
    std::string data;                 // what follows "=" there, continuation lines joined
};

struct Key {
    std::string spelling;  // the path as the file spells it
    KeyPath path;
    std::vector<Entry> entries;
};

struct Store {
    std::vector<std::string> preamble;  // comments between the header and the first key
    std::vector<Key> keys;
};

class Damaged {
public:
    explicit Damaged(std::size_t line) : line(line) {}
    std::size_t line;
};

const char* RootName(RootKey root) {
    switch (root) {
        case RootKey::ClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case RootKey::CurrentUser:
            return "HKEY_CURRENT_USER";
        case RootKey::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
        case RootKey::Users:
            return "HKEY_USERS";
    }
    return "HKEY_LOCAL_MACHINE";
}

KeyPath SplitPath(std::string_view path) {
    KeyPath parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string JoinPath(const KeyPath& path) {
    std::string joined;
    for (const auto& part : path) {
        if (!joined.empty())
            joined += '\\';
        joined += part;
    }
    return joined;
}

bool StartsWith(const KeyPath& path, const KeyPath& prefix) {
    if (path.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (!SameText(path[i], prefix[i]))
            return false;
    }
    return true;
}

bool SamePath(const KeyPath& a, const KeyPath& b) {
    return a.size() == b.size() && StartsWith(a, b);
}

std::string_view TrimRight(std::string_view text) {
    auto last = text.find_last_not_of(" \t");
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

// Indentation is not part of a line's meaning, as for regedit.
std::string_view Trim(std::string_view text) {
    text = TrimRight(text);
    text.remove_prefix(std::min(text.size(), text.find_first_not_of(" \t")));
    return text;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// A quoted string at the start of text; returns its contents and moves text past it.
std::optional<std::string> TakeQuoted(std::string_view& text) {
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::string contents;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return contents;
        }
        // regedit escapes only the backslash and the quote; a lone backslash stays.
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
            c = text[++i];
        }
        contents += c;
    }
    return std::nullopt;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

Entry ParseValue(const std::vector<std::string>& lines, std::size_t& index) {
    std::string_view line = Trim(lines[index]);
    Entry entry;
    entry.isValue = true;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else {
        auto name = TakeQuoted(line);
        if (!name)
            throw Damaged(index + 1);
        entry.name = *name;
    }
    line.remove_prefix(std::min(line.size(), line.find_first_not_of(" \t")));
    if (line.empty() || line.front() != '=')
        throw Damaged(index + 1);
    line.remove_prefix(1);
    line.remove_prefix(std::min(line.size(), line.find_first_not_of(" \t")));
    if (!line.empty() && line.front() == '"') {
        entry.text = TakeQuoted(line);
        if (!entry.text || !TrimRight(line).empty())
            throw Damaged(index + 1);
        return entry;
    }
    // Binary and number data may go on over lines that end in a backslash.
    entry.lines.push_back(lines[index]);
    entry.data = line;
    while (TrimRight(lines[index]).ends_with('\\') && index + 1 < lines.size()) {
        entry.lines.push_back(lines[++index]);
        entry.data += lines[index];
    }
    return entry;
}

Key& KeyBlock(Store& store, std::string_view header, std::size_t lineNumber) {
    std::string spelling(header.substr(1, header.size() - 2));
    KeyPath path = SplitPath(spelling);
    if (path.empty() || !SameText(path.front().substr(0, 5), "HKEY_"))
        throw Damaged(lineNumber);
    // A key written twice is one key: its second block adds to the first.
    for (auto& key : store.keys) {
        if (SamePath(key.path, path))
            return key;
    }
    store.keys.push_back(Key{spelling, path, {}});
    return store.keys.back();
}

Store Parse(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    Store store;
    if (auto nul = text.find('\0'); nul != std::string_view::npos) {
        throw Damaged(static_cast<std::size_t>(std::count(text.begin(), text.begin() + nul, '\n')) +
                      1);
    }
    auto lines = SplitLines(text);
    std::size_t index = 0;
    while (index < lines.size() && TrimRight(lines[index]).empty()) ++index;
    if (index == lines.size())
        return store;  // an empty file holds nothing to lose
    if (TrimRight(lines[index]) != kHeader)
        throw Damaged(index + 1);
    Key* current = nullptr;
    for (++index; index < lines.size(); ++index) {
        std::string_view line = Trim(lines[index]);
        if (line.empty())
            continue;
        if (line.front() == ';') {
            if (current) {
                current->entries.push_back(Entry{false, {}, std::nullopt, {lines[index]}, {}});
            } else {
                store.preamble.push_back(lines[index]);
            }
        } else if (line.front() == '[' && line.back() == ']' && line.size() > 2) {
            current = &KeyBlock(store, line, index + 1);
        } else if (current && (line.front() == '"' || line.front() == '@')) {
            current->entries.push_back(ParseValue(lines, index));
        } else {
            throw Damaged(index + 1);
        }
    }
    return store;
}

std::string Serialize(const Store& store) {
    std::string text(kHeader);
    text += kLineEnd;
    for (const auto& line : store.preamble) text += line + std::string(kLineEnd);
    text += kLineEnd;
    for (const auto& key : store.keys) {
        text += "[" + key.spelling + "]" + std::string(kLineEnd);
        for (const auto& entry : key.entries) {
            if (entry.text) {
                text += (entry.name.empty() ? std::string("@") : Quoted(entry.name)) + "=" +
                        Quoted(*entry.text) + std::string(kLineEnd);
                continue;
            }
            for (const auto& line : entry.lines) text += line + std::string(kLineEnd);
        }
        text += kLineEnd;
    }
    return text;
}

std::filesystem::path StoreFile() {
    return CurrentMachine().RegistryFile();
}

Store Load() {
    auto file = StoreFile();
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return {};
    try {
        return Parse(host::ReadWhole(file, file.string(), kMaxRegistryFileBytes));
    } catch (const Damaged& damaged) {
        throw ERegistryException("The registry file \"" + file.string() + "\" is damaged (line " +
                                 std::to_string(damaged.line) + ")");
    } catch (const Exception& failure) {
        throw ERegistryException("The registry file \"" + file.string() +
                                 "\" can't be read: " + failure.Message());
    }
}

bool Save(const Store& store) {
    auto file = StoreFile();
    try {
        host::ReplaceAtomically(file, file.string(), Serialize(store));
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool Exists(const Store& store, const KeyPath& path) {
    if (path.size() == 1)
        return true;  // the root keys are always there
    return std::any_of(store.keys.begin(), store.keys.end(),
                       [&](const Key& key) { return StartsWith(key.path, path); });
}

bool HasBelow(const Store& store, const KeyPath& path) {
    return std::any_of(store.keys.begin(), store.keys.end(), [&](const Key& key) {
        return key.path.size() > path.size() && StartsWith(key.path, path);
    });
}

Key* Find(Store& store, const KeyPath& path) {
    for (auto& key : store.keys) {
        if (SamePath(key.path, path))
            return &key;
    }
    return nullptr;
}

// Keys that exist only because a key below them does get a block of their own.
Key& Materialize(Store& store, const KeyPath& path) {
    if (Key* key = Find(store, path))
        return *key;
    store.keys.push_back(Key{JoinPath(path), path, {}});
    return store.keys.back();
}

bool IsValueNamed(const Entry& entry, std::string_view name) {
    return entry.isValue && SameText(entry.name, name == "@" ? std::string_view() : name);
}

const Entry* FindValue(Store& store, const KeyPath& path, std::string_view name) {
    Key* key = Find(store, path);
    if (!key)
        return nullptr;
    auto it = std::find_if(key->entries.begin(), key->entries.end(),
                           [&](const Entry& entry) { return IsValueNamed(entry, name); });
    return it == key->entries.end() ? nullptr : &*it;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// hex(2): an expandable string, stored as its bytes with a terminating NUL.
std::optional<std::string> ExpandableString(const Entry& entry) {
    constexpr std::string_view kPrefix = "hex(2):";
    if (!entry.data.starts_with(kPrefix))
        return std::nullopt;
    std::string bytes;
    int high = -1;
    for (char c : std::string_view(entry.data).substr(kPrefix.size())) {
        int digit = HexDigit(c);
        if (digit < 0)
            continue;
        if (high < 0) {
            high = digit;
        } else {
            bytes += static_cast<char>(high * 16 + digit);
            high = -1;
        }
    }
    return bytes.substr(0, bytes.find('\0'));
}

KeyPath FullPath(RootKey root, std::string_view key) {
    KeyPath path = SplitPath(key);
    path.insert(path.begin(), RootName(root));
    return path;
}

}  // namespace

bool Registry::OpenKey(std::string_view key, bool canCreate) {
    KeyPath path = FullPath(root_, key);
    Store store = Load();
    if (!Exists(store, path)) {
        if (!canCreate)
            return false;
        Materialize(store, path);
        if (!Save(store))
            return false;
    }
    current_ = JoinPath(path);
    return true;
}

bool Registry::KeyExists(std::string_view key) {
    return Exists(Load(), FullPath(root_, key));
}

bool Registry::DeleteKey(std::string_view key) {
    KeyPath path = FullPath(root_, key);
    Store store = Load();
    if (path.size() == 1 || !Exists(store, path))
        return false;
    KeyPath parent(path.begin(), path.end() - 1);
    std::erase_if(store.keys, [&](const Key& entry) { return StartsWith(entry.path, path); });
    // The parent stays, as in the registry, even when it lived only through this key.
    if (parent.size() > 1 && !Exists(store, parent))
        Materialize(store, parent);
    return Save(store);
}

bool Registry::ValueExists(std::string_view name) {
    Store store = Load();
    return FindValue(store, SplitPath(current_.value_or(RootName(root_))), name) != nullptr;
}

std::string Registry::ReadString(std::string_view name) {
    Store store = Load();
    const Entry* entry = FindValue(store, SplitPath(current_.value_or(RootName(root_))), name);
    if (!entry)
        return {};
    if (entry->text)
        return *entry->text;
    if (auto expandable = ExpandableString(*entry))
        return *expandable;
    throw ERegistryException("Invalid data type for '" + std::string(name) + "'");
}

void Registry::WriteString(std::string_view name, std::string_view value) {
    auto failed = [&] {
        return ERegistryException("Failed to set data for '" + std::string(name) + "'");
    };
    // A .reg line can't hold a line break, and regedit would end the string at a NUL.
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos ||
        name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        throw failed();
    }
    KeyPath path = SplitPath(current_.value_or(RootName(root_)));
    Store store = Load();
    if (!Exists(store, path))
        throw failed();
    Key& key = Materialize(store, path);
    auto first = std::find_if(key.entries.begin(), key.entries.end(),
                              [&](const Entry& entry) { return IsValueNamed(entry, name); });
    Entry entry{true, name == "@" ? std::string() : std::string(name), std::string(value), {}, {}};
    if (first != key.entries.end())
        entry.name = first->name;  // the stored spelling stays
    auto position = first - key.entries.begin();
    // Values of the same name further down would stand beside the new one in the file.
    std::erase_if(key.entries, [&](const Entry& old) { return IsValueNamed(old, name); });
    key.entries.insert(key.entries.begin() + std::min<std::ptrdiff_t>(position, key.entries.size()),
                       std::move(entry));
    if (!Save(store))
        throw failed();
}

bool Registry::DeleteValue(std::string_view name) {
    KeyPath path = SplitPath(current_.value_or(RootName(root_)));
    Store store = Load();
    Key* key = Find(store, path);
    if (!key)
        return false;
    auto removed =
        std::erase_if(key->entries, [&](const Entry& entry) { return IsValueNamed(entry, name); });
    return removed > 0 && Save(store);
}

bool Registry::HasSubKeys() {
    return HasBelow(Load(), SplitPath(current_.value_or(RootName(root_))));
}

}  // namespace platform
