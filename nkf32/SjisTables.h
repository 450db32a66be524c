// Character tables of the conversion to code page 932, and the lookups over them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nkf {

// Unicode BMP to code page 932: kUnicodePages[(kUnicodePageIndex[cp >> 8] - 1) * 256 + (cp & 0xFF)]
// when the index is not 0. A value below 0x100 is a single byte (half-width katakana), above it
// a double-byte code, 0 no Shift_JIS form.
extern const std::uint8_t kUnicodePageIndex[256];
extern const std::uint16_t kUnicodePages[];
// JIS X 0208 row and cell (1..94 each) at [(row - 1) * 94 + cell - 1], including NEC's row 13
// and NEC's selection of the IBM kanji (rows 89-92, given at their IBM codes); 0 unassigned.
extern const std::uint16_t kJis0208ToSjis[94 * 94];
// The three-byte EUC-JP codes (JIS X 0212 and the IBM extension rows 83-84) that have a
// Shift_JIS form, as pairs of the 7-bit JIS code and the Shift_JIS code, in ascending order.
extern const std::size_t kJis0212Count;
extern const std::uint16_t kJis0212ToSjis[][2];

inline std::uint16_t UnicodeToSjis(std::uint32_t cp) {
    if (cp > 0xFFFF) {
        return 0;
    }
    unsigned page = kUnicodePageIndex[cp >> 8];
    return page == 0 ? 0 : kUnicodePages[(page - 1) * 256 + (cp & 0xFF)];
}

inline std::uint16_t Jis0208ToSjis(unsigned row, unsigned cell) {
    return kJis0208ToSjis[(row - 1) * 94 + cell - 1];
}

inline std::uint16_t Jis0212ToSjis(unsigned row, unsigned cell) {
    const unsigned key = (row + 0x20) << 8 | (cell + 0x20);
    std::size_t lo = 0;
    std::size_t hi = kJis0212Count;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (kJis0212ToSjis[mid][0] < key) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo < kJis0212Count && kJis0212ToSjis[lo][0] == key ? kJis0212ToSjis[lo][1] : 0;
}

} // namespace nkf
