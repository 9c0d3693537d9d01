// Repaint keys: a painting gauge folds everything its drawing sequence
// reads (the inputs, quantised where only a pixel's worth can show, and the
// state the sequence itself carries from picture to picture) into a key, and
// runs the sequence only when the key differs from the one of its last
// picture. Equal keys mean an identical picture, so the skip never changes
// what is shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace zu {

// Set by tests to run every drawing sequence as if its key had changed:
// the pictures of such a run are the full repaints the keyed run must match.
extern bool RepaintEveryPicture;

struct RepaintKey {
    uint64_t a = 0;
    uint64_t b = 0;
    bool valid = false;  // false: no picture yet, or one must be drawn
    bool operator==(const RepaintKey&) const = default;
};

// Folds bytes into a 128-bit key (two independent multiply-mix lanes).
class RepaintKeyBuilder {
  public:
    void Bytes(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        while (size >= 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            Word(w);
            p += 8;
            size -= 8;
        }
        if (size > 0) {
            uint64_t w = 0;
            std::memcpy(&w, p, size);
            Word(w ^ (uint64_t{size} << 56));
        }
    }
    template <typename T>
    RepaintKeyBuilder& Add(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        Bytes(&value, sizeof value);
        return *this;
    }
    // Small values side by side in one word (eight bytes at most in all):
    // cheaper than adding each, for keys read every tick.
    template <typename... T>
    RepaintKeyBuilder& Pack(const T&... values) {
        static_assert((std::is_trivially_copyable_v<T> && ...));
        static_assert((sizeof(T) + ...) <= 8);
        uint64_t w = 0;
        unsigned shift = 0;
        ((w |= Bits(values) << shift, shift += 8 * sizeof(T)), ...);
        Word(w);
        return *this;
    }
    // A key by its fields: its padding bytes are not part of it.
    RepaintKeyBuilder& Add(const RepaintKey& k) { return Add(k.a).Add(k.b).Add(k.valid); }
    // A value quantised to steps of `step` (what one pixel can show).
    RepaintKeyBuilder& Quantised(double value, double step) {
        const double q = value / step;
        return Add(q == q ? static_cast<int64_t>(q < 0 ? q - 1.0 : q) : INT64_MIN);
    }
    RepaintKey Key() const { return {Mix(a_ ^ n_), Mix(b_ + n_), true}; }
    // Same bytes folded so far (as far as the key can tell).
    bool operator==(const RepaintKeyBuilder&) const = default;

  private:
    // A value's bytes in the low bytes of a word, the others zero.
    template <typename T>
    static uint64_t Bits(const T& value) {
        using U = std::conditional_t<
            sizeof(T) == 1, uint8_t,
            std::conditional_t<sizeof(T) == 2, uint16_t,
                               std::conditional_t<sizeof(T) <= 4, uint32_t, uint64_t>>>;
        U u = 0;
        std::memcpy(&u, &value, sizeof value);
        return u;
    }
    static uint64_t Mix(uint64_t x) {
        x ^= x >> 31;
        x *= 0x7FB5D329728EA185ull;
        x ^= x >> 27;
        x *= 0x81DADEF4BC2DD44Dull;
        return x ^ (x >> 33);
    }
    void Word(uint64_t w) {
        ++n_;
        a_ = (a_ ^ w) * 0x9E3779B97F4A7C15ull;
        a_ ^= a_ >> 32;
        b_ = (b_ + w) * 0xC2B2AE3D27D4EB4Full;
        b_ = (b_ << 31) | (b_ >> 33);
    }
    uint64_t a_ = 0x243F6A8885A308D3ull;
    uint64_t b_ = 0x13198A2E03707344ull;
    uint64_t n_ = 0;
};

// True when a picture must be drawn for `next`; then `last` becomes `next`.
inline bool RepaintNeeded(RepaintKey& last, const RepaintKey& next) {
    if (!RepaintEveryPicture && last.valid && last == next) return false;
    last = next;
    return true;
}

}  // namespace zu
