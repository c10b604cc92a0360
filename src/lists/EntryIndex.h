#pragma once
// The entries of a logo list by the comparison of entries, so that the duplicate test of
// long lists neither walks them nor runs the locale's collation for every pair: ASCII
// entries without regard to case in a flat hash table, the few others in a tree ordered as
// the list sorts them.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Orders texts as a list sorts them (CompareText).
struct TCompareTextLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// The hash of an entry without regard to case; nothing for one beyond ASCII.
std::optional<std::uint32_t> EntryHash(std::string_view text);

// Whether two ASCII entries are equal, as the index compares them.
bool SameAscii(std::string_view a, std::string_view b);

// Counts each entry, so that removing one of two equal entries keeps the other.
class TEntryIndex {
public:
    TEntryIndex() = default;
    // For texts that all lie within `text`, which outlives the index: they are not copied.
    explicit TEntryIndex(std::string_view text) : borrowed_(text) {}

    // Counts the text; true when no equal entry was there before.
    bool Add(std::string_view text);
    // The same, with EntryHash(text) at hand.
    bool Add(std::string_view text, std::optional<std::uint32_t> hash);
    void Remove(std::string_view text);
    bool Contains(std::string_view text) const;
    void Clear();

private:
    // Small, as it is touched for every entry of a long list.
    struct Slot {
        static constexpr std::uint32_t kFree = UINT32_MAX;
        std::uint32_t hash = 0;
        std::uint32_t offset = 0;  // of the spelling in Keys() (a list file holds at most 1 GB)
        std::uint32_t length = kFree;
        std::uint32_t count = 0;  // 0 once every entry of the spelling is removed
        bool Used() const { return length != kFree; }
    };

    bool Contains(std::string_view text, std::optional<std::uint32_t> hash) const;
    std::uint32_t CountOf(std::string_view text, std::uint32_t hash) const;
    // The slot of an equal ASCII entry, or the free slot where it would go.
    std::size_t Probe(std::string_view text, std::uint32_t hash) const;
    void Rehash(std::size_t slotCount);
    std::string_view Keys() const { return borrowed_.data() != nullptr ? borrowed_ : keys_; }
    std::string_view Spelling(const Slot& slot) const {
        return Keys().substr(slot.offset, slot.length);
    }

    std::vector<Slot> slots_;  // open addressing with linear probing; a power of two, at
                               // most three quarters used
    std::size_t used_ = 0;
    std::string_view borrowed_;
    std::string keys_;  // otherwise the spellings of the ASCII entries, one after another
    std::map<std::string, int, TCompareTextLess> others_;
};
