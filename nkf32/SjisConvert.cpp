// Conversion of ISO-2022-JP, EUC-JP, UTF-8, Shift_JIS and ASCII text to code page 932.
#include "Converter.h"

#include <cstdint>
#include <cstring>

#include "Decode.h"
#include "SjisTables.h"

namespace nkf {

namespace {

// Appends whole characters while they fit in capacity - 1 bytes, so the text never ends on
// half a double-byte character; the first one that does not fit ends the output.
struct Writer {
    char* out;
    std::size_t limit;
    std::size_t size = 0;
    bool full = false;

    void Put(std::uint16_t code) {
        if (code == 0 || full) {
            return;
        }
        const std::size_t need = code > 0xFF ? 2 : 1;
        if (size + need > limit) {
            full = true;
            return;
        }
        if (need == 2) {
            out[size++] = static_cast<char>(code >> 8);
        }
        out[size++] = static_cast<char>(code & 0xFF);
    }
};

using Reader = Char (*)(const unsigned char*, std::size_t);

void ConvertByReader(const unsigned char* in, std::size_t length, Reader next, Writer& w) {
    std::size_t i = 0;
    while (i < length && !w.full) {
        const Char c = next(in + i, length - i);
        w.Put(c.sjis);
        i += c.length;
    }
}

// JIS X 0213 plane 1 agrees with JIS X 0208 and NEC's row 13 up to row 84; its rows 85-94
// hold other characters than NEC's selection of IBM kanji there, so they are left out.
enum class JisSet { Ascii, Kana, Jis0208, Jis0212, Jis0213 };

// Reads an escape sequence at in[0] == ESC; returns its length and sets the character set, or
// returns 1 (the lone escape byte is dropped) for a sequence this converter does not know.
std::size_t ReadEscape(const unsigned char* in, std::size_t n, JisSet& set) {
    struct Sequence {
        const char* bytes;
        JisSet set;
    };
    static const Sequence kSequences[] = {
        {"\x1B(B", JisSet::Ascii},    {"\x1B(J", JisSet::Ascii},    {"\x1B(H", JisSet::Ascii},
        {"\x1B(I", JisSet::Kana},     {"\x1B$@", JisSet::Jis0208},  {"\x1B$B", JisSet::Jis0208},
        {"\x1B$(@", JisSet::Jis0208}, {"\x1B$(B", JisSet::Jis0208}, {"\x1B$(O", JisSet::Jis0213},
        {"\x1B$(Q", JisSet::Jis0213}, {"\x1B$(D", JisSet::Jis0212},
    };
    for (const Sequence& s : kSequences) {
        const std::size_t len = std::strlen(s.bytes);
        if (len <= n && std::memcmp(in, s.bytes, len) == 0) {
            set = s.set;
            return len;
        }
    }
    // The revision announcer before ESC $ B of JIS X 0208-1990 changes nothing.
    if (n >= 3 && in[1] == '&' && in[2] == '@') {
        return 3;
    }
    return 1;
}

// JIS X 0201 roman differs from ASCII only in the yen sign and overline at 5C and 7E, which
// Shift_JIS's single bytes show the same way, so both sets copy bytes. Control characters and
// spaces keep the current set (line breaks inside kanji text are common), and a missing final
// ESC ( B is harmless. The encoding is 7-bit: bytes above 0x7E are dropped.
void ConvertIso2022Jp(const unsigned char* in, std::size_t length, Writer& w) {
    JisSet set = JisSet::Ascii;
    bool shiftedOut = false;
    std::size_t i = 0;
    while (i < length && !w.full) {
        const unsigned char b = in[i];
        if (b == 0x1B) {
            i += ReadEscape(in + i, length - i, set);
            shiftedOut = false;
            continue;
        }
        ++i;
        if (b == 0x0E) {
            shiftedOut = true;
        } else if (b == 0x0F) {
            shiftedOut = false;
        } else if (b <= 0x20) {
            w.Put(b);
        } else if (b >= 0x7F) {
            continue;
        } else if (shiftedOut || set == JisSet::Kana) {
            if (b <= 0x5F) {
                w.Put(static_cast<std::uint16_t>(b + 0x80));
            }
        } else if (set == JisSet::Ascii) {
            w.Put(b);
        } else if (i < length && in[i] >= 0x21 && in[i] <= 0x7E) {
            const unsigned row = b - 0x20u;
            const unsigned cell = in[i] - 0x20u;
            if (set == JisSet::Jis0212) {
                w.Put(Jis0212ToSjis(row, cell));
            } else if (set == JisSet::Jis0208 || row <= 84) {
                w.Put(Jis0208ToSjis(row, cell));
            }
            ++i;
        }
    }
}

void ConvertAscii(const unsigned char* in, std::size_t length, Writer& w) {
    for (std::size_t i = 0; i < length && !w.full; ++i) {
        if (in[i] < 0x80) {
            w.Put(in[i]);
        }
    }
}

} // namespace

std::size_t ConvertToSjis(const unsigned char* in, std::size_t length, Encoding from, char* out,
                          std::size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    Writer w{out, capacity - 1};
    if (from == Encoding::Auto || !ReadsWithoutInvalidSequence(in, length, from)) {
        from = DetectEncoding(in, length);
    }
    switch (from) {
    case Encoding::Iso2022Jp:
        ConvertIso2022Jp(in, length, w);
        break;
    case Encoding::Utf8:
        ConvertByReader(in, length, NextUtf8, w);
        break;
    case Encoding::EucJp:
        ConvertByReader(in, length, NextEucJp, w);
        break;
    case Encoding::ShiftJis:
        ConvertByReader(in, length, NextShiftJis, w);
        break;
    case Encoding::Auto:
    case Encoding::Ascii:
        ConvertAscii(in, length, w);
        break;
    }
    out[w.size] = '\0';
    return w.size;
}

std::size_t Convert(const char* in, char* out, const Options& options) {
    return ConvertToSjis(reinterpret_cast<const unsigned char*>(in), std::strlen(in), options.input, out,
                         kOutputCapacity);
}

} // namespace nkf
