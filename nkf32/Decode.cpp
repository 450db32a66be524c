// One-character readers of EUC-JP, Shift_JIS and UTF-8, strict about what they accept.
#include "Decode.h"

#include "SjisTables.h"

namespace nkf {

namespace {

bool InRange(unsigned char b, unsigned lo, unsigned hi) {
    return b >= lo && b <= hi;
}

Char Make(std::size_t length, std::uint16_t sjis, Kind kind, unsigned row = 0) {
    return Char{length, sjis, kind, static_cast<std::uint8_t>(row)};
}

Char InvalidByte() {
    return Make(1, 0, Kind::Invalid);
}

// Everything from here to the end of the input is the start of a sequence the end cut off.
Char CutAt(std::size_t n) {
    return Make(n, 0, Kind::Cut);
}

} // namespace

Kind JisKind(unsigned row) {
    return (row >= 1 && row <= 8) || (row >= 16 && row <= 84) ? Kind::Kanji : Kind::Vendor;
}

Char NextEucJp(const unsigned char* in, std::size_t n) {
    const unsigned char b = in[0];
    if (b < 0x80) {
        return Make(1, b, Kind::Ascii);
    }
    if (b == 0x8E) {
        if (n < 2) {
            return CutAt(n);
        }
        return InRange(in[1], 0xA1, 0xDF) ? Make(2, in[1], Kind::HalfKana) : InvalidByte();
    }
    if (b == 0x8F) {
        for (std::size_t i = 1; i < 3; ++i) {
            if (i >= n) {
                return CutAt(n);
            }
            if (!InRange(in[i], 0xA1, 0xFE)) {
                return InvalidByte();
            }
        }
        // Well formed whether or not the character has a Shift_JIS form: EUC-JP pages write
        // accented Latin letters and rare kanji this way, and only those characters are lost,
        // not the reading of the whole text.
        return Make(3, Jis0212ToSjis(in[1] - 0xA0u, in[2] - 0xA0u), Kind::ThreeByte);
    }
    if (!InRange(b, 0xA1, 0xFE)) {
        return InvalidByte();
    }
    if (n < 2) {
        return CutAt(n);
    }
    if (!InRange(in[1], 0xA1, 0xFE)) {
        return InvalidByte();
    }
    const unsigned row = b - 0xA0u;
    const std::uint16_t code = Jis0208ToSjis(row, in[1] - 0xA0u);
    return Make(2, code, code != 0 ? JisKind(row) : Kind::Unassigned, row);
}

Char NextShiftJis(const unsigned char* in, std::size_t n) {
    const unsigned char b = in[0];
    if (b < 0x80) {
        return Make(1, b, Kind::Ascii);
    }
    if (InRange(b, 0xA1, 0xDF)) {
        return Make(1, b, Kind::HalfKana);
    }
    if (!InRange(b, 0x81, 0x9F) && !InRange(b, 0xE0, 0xFC)) {
        return InvalidByte();
    }
    if (n < 2) {
        return CutAt(n);
    }
    const unsigned char t = in[1];
    if (!InRange(t, 0x40, 0x7E) && !InRange(t, 0x80, 0xFC)) {
        return InvalidByte();
    }
    // Shift_JIS input is passed through unchanged, unassigned codes included; the kind only
    // tells recognition how likely the text is Shift_JIS.
    const std::uint16_t code = static_cast<std::uint16_t>(b << 8 | t);
    if (b >= 0xF0) {
        if (b <= 0xF9) {
            return Make(2, code, Kind::Private);
        }
        return Make(2, code, code <= 0xFC4B ? Kind::Vendor : Kind::Unassigned);
    }
    unsigned row = (b - (b <= 0x9F ? 0x80u : 0xC0u)) * 2 - 1;
    unsigned cell;
    if (t >= 0x9F) {
        ++row;
        cell = t - 0x9Eu;
    } else {
        cell = t - 0x3Fu - (t >= 0x80 ? 1u : 0u);
    }
    return Make(2, code, Jis0208ToSjis(row, cell) != 0 ? JisKind(row) : Kind::Unassigned, row);
}

Char NextUtf8(const unsigned char* in, std::size_t n) {
    const unsigned char b = in[0];
    if (b < 0x80) {
        return Make(1, b, Kind::Ascii);
    }
    std::size_t length;
    std::uint32_t cp;
    unsigned lo = 0x80;
    unsigned hi = 0xBF;
    if (InRange(b, 0xC2, 0xDF)) {
        length = 2;
        cp = b & 0x1Fu;
    } else if (InRange(b, 0xE0, 0xEF)) {
        length = 3;
        cp = b & 0x0Fu;
        // No overlong forms and no surrogates.
        lo = b == 0xE0 ? 0xA0 : 0x80;
        hi = b == 0xED ? 0x9F : 0xBF;
    } else if (InRange(b, 0xF0, 0xF4)) {
        length = 4;
        cp = b & 0x07u;
        lo = b == 0xF0 ? 0x90 : 0x80;
        hi = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return InvalidByte();
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= n) {
            return CutAt(n);
        }
        if (!InRange(in[i], lo, hi)) {
            return InvalidByte();
        }
        lo = 0x80;
        hi = 0xBF;
        cp = cp << 6 | (in[i] & 0x3Fu);
    }
    const std::uint16_t code = UnicodeToSjis(cp);
    return Make(length, code, code >= 0xA1 && code <= 0xDF ? Kind::HalfKana : Kind::Other);
}

} // namespace nkf
