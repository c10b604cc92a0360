#include "lists/EntryIndex.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstring>

#include "lists/Words.h"
#include "platform/Text.h"

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The ASCII spelling that a text of other characters folds to, if any (the Kelvin sign
// folds to k).
std::optional<std::string> AsciiFolding(std::string_view text) {
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QByteArray folded = decoded.toCaseFolded().toUtf8();
    std::string spelling(folded.constData(), static_cast<std::size_t>(folded.size()));
    if (!EntryHash(spelling))
        return std::nullopt;
    return spelling;
}

}  // namespace

std::optional<std::uint32_t> EntryHash(std::string_view text) {
    TCaselessHash hash;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) hash.Take(Load8(text.data() + at));
    std::uint64_t last = 0;
    std::memcpy(&last, text.data() + at, text.size() - at);
    hash.Take(last);
    return hash.Result(text.size());
}

bool SameAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

bool TCompareTextLess::operator()(std::string_view a, std::string_view b) const {
    return platform::CompareText(a, b) < 0;
}

bool TEntryIndex::Add(std::string_view text) {
    return Add(text, EntryHash(text));
}

bool TEntryIndex::Add(std::string_view text, std::optional<std::uint32_t> hash) {
    if (!hash) {
        const bool fresh = !Contains(text, hash);
        ++others_.try_emplace(std::string(text), 0).first->second;
        return fresh;
    }
    // Looked up once in the table, where the entry is counted, too.
    const bool inOthers = !others_.empty() && others_.find(text) != others_.end();
    if ((used_ + 1) * 4 > slots_.size() * 3)
        Rehash(std::max<std::size_t>(16, slots_.size() * 2));
    Slot& slot = slots_[Probe(text, *hash)];
    if (!slot.Used()) {
        const std::size_t offset = borrowed_.data() != nullptr
                                       ? std::size_t(text.data() - borrowed_.data())
                                       : keys_.size();
        slot = Slot{*hash, static_cast<std::uint32_t>(offset),
                    static_cast<std::uint32_t>(text.size()), 0};
        if (borrowed_.data() == nullptr)
            keys_ += text;
        ++used_;
    }
    return slot.count++ == 0 && !inOthers;
}

void TEntryIndex::Remove(std::string_view text) {
    if (const auto hash = EntryHash(text)) {
        if (!slots_.empty()) {
            Slot& slot = slots_[Probe(text, *hash)];
            if (slot.count > 0)
                --slot.count;
        }
        return;
    }
    auto found = others_.find(text);
    if (found != others_.end() && --found->second == 0)
        others_.erase(found);
}

bool TEntryIndex::Contains(std::string_view text) const {
    return Contains(text, EntryHash(text));
}

bool TEntryIndex::Contains(std::string_view text, std::optional<std::uint32_t> hash) const {
    if (!others_.empty() && others_.find(text) != others_.end())
        return true;
    if (hash)
        return CountOf(text, *hash) > 0;
    // A few letters beyond ASCII fold to ASCII ones (the Kelvin sign to k).
    const std::optional<std::string> spelling = AsciiFolding(text);
    return spelling && CountOf(*spelling, *EntryHash(*spelling)) > 0 &&
           platform::SameText(text, *spelling);
}

// A free slot counts 0.
std::uint32_t TEntryIndex::CountOf(std::string_view text, std::uint32_t hash) const {
    return slots_.empty() ? 0 : slots_[Probe(text, hash)].count;
}

void TEntryIndex::Clear() {
    slots_.clear();
    used_ = 0;
    keys_.clear();
    others_.clear();
}

std::size_t TEntryIndex::Probe(std::string_view text, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (!slot.Used() || (slot.hash == hash && SameAscii(Spelling(slot), text)))
            return at;
    }
}

// Spellings whose entries are all gone are dropped; their characters stay until Clear.
void TEntryIndex::Rehash(std::size_t slotCount) {
    std::vector<Slot> old(slotCount);
    old.swap(slots_);
    used_ = 0;
    for (const Slot& slot : old) {
        if (!slot.Used() || slot.count == 0)
            continue;
        slots_[Probe(Spelling(slot), slot.hash)] = slot;
        ++used_;
    }
}
