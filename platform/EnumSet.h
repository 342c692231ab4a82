#pragma once
// A small set over an enumeration whose values are 0..N-1 (N <= 8), stored
// as one byte with bit value 1 << value for each member, the layout that
// the component properties use (castling rights, coordinate sides).

#include <cstdint>
#include <initializer_list>

namespace zelkor {

template <class E>
class EnumSet {
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> members) {
        for (E e : members) Include(e);
    }
    static constexpr EnumSet FromBits(uint8_t bits) {
        EnumSet s;
        s.bits_ = bits;
        return s;
    }

    constexpr uint8_t Bits() const { return bits_; }
    constexpr bool Has(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr EnumSet& Include(E e) {
        bits_ = static_cast<uint8_t>(bits_ | Bit(e));
        return *this;
    }
    constexpr EnumSet& Exclude(E e) {
        bits_ = static_cast<uint8_t>(bits_ & ~Bit(e));
        return *this;
    }
    friend constexpr bool operator==(EnumSet a, EnumSet b) { return a.bits_ == b.bits_; }

private:
    static constexpr uint8_t Bit(E e) { return static_cast<uint8_t>(1u << static_cast<unsigned>(e)); }
    uint8_t bits_ = 0;
};

} // namespace zelkor
