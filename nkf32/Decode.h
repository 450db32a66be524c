// One-character readers of the multi-byte encodings, shared by recognition and conversion.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nkf {

enum class Kind : std::uint8_t {
    Ascii,      // a byte below 0x80
    HalfKana,   // a half-width katakana
    Kanji,      // a JIS X 0208 character of rows 1-8 or 16-84 (row says which)
    Vendor,     // NEC row 13 or IBM kanji
    ThreeByte,  // an EUC-JP code of JIS X 0212 or the IBM rows, with or without a Shift_JIS form
    Private,    // the user-defined area of Shift_JIS
    Other,      // any other valid character (UTF-8 only)
    Unassigned, // well formed, but no character there
    Invalid,    // malformed: one byte is consumed and dropped
    Cut,        // a sequence that the end of the input cuts off
};

struct Char {
    std::size_t length; // bytes consumed, at least 1
    std::uint16_t sjis; // the Shift_JIS form: below 0x100 one byte, else two; 0 none
    Kind kind;
    std::uint8_t row; // the JIS row of a Kanji
};

// Each reads the character at in[0] of the n > 0 bytes available.
Char NextEucJp(const unsigned char* in, std::size_t n);
Char NextShiftJis(const unsigned char* in, std::size_t n);
Char NextUtf8(const unsigned char* in, std::size_t n);

// The kind a JIS X 0208 character of the row has for recognition.
Kind JisKind(unsigned row);

} // namespace nkf
