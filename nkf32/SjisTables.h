// Character tables of the conversion to code page 932, and the lookups over them.
#pragma once

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
// The same for the three-byte EUC-JP codes (JIS X 0212 and the IBM extension rows 83-84).
extern const std::uint16_t kJis0212ToSjis[94 * 94];

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
    return kJis0212ToSjis[(row - 1) * 94 + cell - 1];
}

} // namespace nkf
