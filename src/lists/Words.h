#pragma once
// Reading text eight characters at a time, for the long lists.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

static_assert(std::endian::native == std::endian::little, "the first character is the low byte");

constexpr std::uint64_t kHighBits = 0x8080808080808080u;
constexpr std::uint64_t kLowBits = 0x0101010101010101u;

inline std::uint64_t Load8(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
}

// The high bit of each byte of `word` that equals `c`.
inline std::uint64_t ByteMatches(std::uint64_t word, char c) {
    const std::uint64_t differing = word ^ (kLowBits * static_cast<unsigned char>(c));
    return ~(((differing & ~kHighBits) + ~kHighBits) | differing) & kHighBits;
}

// Nonzero when a byte of `word` lies below `limit` (at most 0x80).
inline std::uint64_t BytesBelow(std::uint64_t word, unsigned char limit) {
    return (word - kLowBits * limit) & ~word & kHighBits;
}

// The first `count` bytes of `word` (count < 8), the others zero.
inline std::uint64_t FirstBytes(std::uint64_t word, std::size_t count) {
    return word & ((std::uint64_t{1} << (8 * count)) - 1);
}

// A hash of a text without regard to letter case, fed eight characters at a time, the last
// word filled up with zero bytes.
class TCaselessHash {
public:
    void Take(std::uint64_t word) {
        seen_ |= word;
        // An ASCII letter differs from its other case only in 0x20, so with that bit set in
        // every byte the cases hash alike (so do a few pairs of signs, such as @ and `, which
        // the comparison tells apart).
        hash_ = (hash_ ^ (word | (kLowBits * 0x20))) * 0x9E3779B97F4A7C15u;
    }
    // Nothing when the text is not ASCII.
    std::optional<std::uint32_t> Result(std::size_t length) const {
        if ((seen_ & kHighBits) != 0)
            return std::nullopt;
        std::uint64_t hash = hash_ ^ length;
        hash ^= hash >> 31;
        hash *= 0x9E3779B97F4A7C15u;
        return static_cast<std::uint32_t>(hash >> 32);
    }

private:
    std::uint64_t hash_ = 0;
    std::uint64_t seen_ = 0;
};
