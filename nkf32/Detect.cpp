// Recognition of the input encoding: ISO-2022-JP, ASCII, UTF-8, EUC-JP or Shift_JIS.
#include "Converter.h"

#include <cstdint>

#include "Decode.h"

namespace nkf {

namespace {

struct Tally {
    std::size_t errors = 0;
    long score = 0;
    bool cut = false; // ends inside a character

    bool Whole() const { return errors == 0 && !cut; }
};

// How ordinary a character is in a Japanese title: kana highest, then punctuation and the
// first-level kanji, then the second level and the vendor characters (circled numbers, and IBM
// kanji common in names); half-width katakana and EUC-JP's three-byte codes one per byte, so
// that Shift_JIS reading them as a first-level kanji and what follows is at most a tie;
// user-defined characters nothing.
long Ordinariness(const Char& c) {
    switch (c.kind) {
    case Kind::HalfKana:
    case Kind::ThreeByte:
        return static_cast<long>(c.length);
    case Kind::Kanji:
        if (c.row == 4 || c.row == 5) {
            return 4;
        }
        if (c.row == 1 || c.row == 3 || (c.row >= 16 && c.row <= 47)) {
            return 2;
        }
        return 1;
    case Kind::Vendor:
        return 1;
    case Kind::Ascii:
    case Kind::Private:
    case Kind::Other:
    case Kind::Unassigned:
    case Kind::Invalid:
    case Kind::Cut:
        break;
    }
    return 0;
}

bool IsIn(unsigned char b, const char* set) {
    for (const char* p = set; *p != '\0'; ++p) {
        if (static_cast<unsigned char>(*p) == b) {
            return true;
        }
    }
    return false;
}

// Whether a half-width katakana can follow the previous one (0 after anything else): voicing
// marks, small kana and the long vowel mark only follow the kana that take them. Other text
// read as Shift_JIS often becomes runs of half-width katakana that break these rules.
bool KanaCanFollow(unsigned char prev, unsigned char kana) {
    static const char kVoiceable[] = "\xB3\xB6\xB7\xB8\xB9\xBA\xBB\xBC\xBD\xBE\xBF\xC0\xC1\xC2\xC3\xC4"
                                     "\xCA\xCB\xCC\xCD\xCE";
    static const char kBeforeSmallVowel[] = "\xB2\xB3\xB7\xB8\xBC\xC1\xC2\xC3\xC4\xC6\xCB\xCC\xD0\xD8\xDE";
    static const char kBeforeSmallYa[] = "\xB7\xBC\xC1\xC3\xC6\xCB\xCC\xD0\xD8\xDE\xDF";
    const bool prevIsKana = prev >= 0xA6 && prev <= 0xDF;
    if (kana == 0xDE) {
        return IsIn(prev, kVoiceable);
    }
    if (kana == 0xDF) {
        return prev >= 0xCA && prev <= 0xCE;
    }
    if (kana >= 0xA7 && kana <= 0xAB) {
        return IsIn(prev, kBeforeSmallVowel);
    }
    if (kana >= 0xAC && kana <= 0xAE) {
        return IsIn(prev, kBeforeSmallYa);
    }
    if (kana == 0xAF || kana == 0xB0) {
        return prevIsKana;
    }
    return true;
}

Tally Read(const unsigned char* in, std::size_t length, Char (*next)(const unsigned char*, std::size_t)) {
    Tally t;
    unsigned char prevKana = 0;
    for (std::size_t i = 0; i < length;) {
        const Char c = next(in + i, length - i);
        if (c.kind == Kind::Invalid || c.kind == Kind::Unassigned) {
            ++t.errors;
        }
        t.cut = c.kind == Kind::Cut;
        const unsigned char kana = c.kind == Kind::HalfKana ? static_cast<unsigned char>(c.sjis) : 0;
        t.score += kana != 0 && !KanaCanFollow(prevKana, kana) ? -2 : Ordinariness(c);
        prevKana = kana;
        i += c.length;
    }
    return t;
}

enum class Utf8Reading { No, Yes, Weak };

// The alphabets written with two-byte UTF-8 sequences. Latin, Greek and Cyrillic make up the
// European titles; each of the others has a block or two of its own.
enum class Script { None, European, Armenian, Hebrew, Arabic, Syriac, Thaana, NKo };

Script ScriptOf(std::uint32_t cp) {
    if ((cp >= 0xA0 && cp <= 0x24F) || (cp >= 0x370 && cp <= 0x4FF)) {
        return Script::European;
    }
    if (cp >= 0x531 && cp <= 0x58F) {
        return Script::Armenian;
    }
    if (cp >= 0x591 && cp <= 0x5FF) {
        return Script::Hebrew;
    }
    if ((cp >= 0x600 && cp <= 0x6FF) || (cp >= 0x750 && cp <= 0x77F)) {
        return Script::Arabic;
    }
    if (cp >= 0x700 && cp <= 0x74F) {
        return Script::Syriac;
    }
    if (cp >= 0x780 && cp <= 0x7BF) {
        return Script::Thaana;
    }
    if (cp >= 0x7C0) {
        return Script::NKo;
    }
    return Script::None; // IPA, spacing modifiers, combining marks
}

// Valid UTF-8 with multi-byte sequences. A sequence cut off at the end is allowed when the rest
// is convincing (a sequence of three bytes or more, as Japanese has, or three of two bytes):
// short half-width katakana in Shift_JIS, such as "ﾃｽﾄ" (C3 BD C4), otherwise pass as a
// two-byte sequence and a cut one. Text whose only multi-byte characters are two-byte ones is
// Yes when they are European letters or at least three letters of one other alphabet (a word of
// Hebrew, Arabic or Armenian, which Shift_JIS often reads whole as half-width katakana and
// kanji); any other mix of them is Weak: short EUC-JP kanji text looks like that, and is read
// as EUC-JP or Shift_JIS when one of them reads it whole and without errors. EUC-JP kanji
// seldom read as letters of one alphabet: all of them would have to come from the first third
// of a few neighbouring rows of JIS X 0208, with no kana among them.
Utf8Reading ReadUtf8(const unsigned char* in, std::size_t length) {
    std::size_t multiByte = 0;
    bool long3 = false;
    bool european = true;
    Script other = Script::None;
    std::size_t otherLetters = 0;
    bool oneAlphabet = true;
    bool cut = false;
    for (std::size_t i = 0; i < length;) {
        const Char c = NextUtf8(in + i, length - i);
        if (c.kind == Kind::Invalid) {
            return Utf8Reading::No;
        }
        if (c.kind == Kind::Cut) {
            cut = true;
        } else if (c.length >= 3) {
            ++multiByte;
            long3 = true;
        } else if (c.length == 2) {
            ++multiByte;
            const Script script = ScriptOf((in[i] & 0x1Fu) << 6 | (in[i + 1] & 0x3Fu));
            if (script != Script::European) {
                european = false;
                oneAlphabet = oneAlphabet && script != Script::None && (other == Script::None || other == script);
                other = script;
                ++otherLetters;
            }
        }
        i += c.length;
    }
    if (multiByte == 0 || (cut && !long3 && multiByte < 3)) {
        return Utf8Reading::No;
    }
    return long3 || european || (oneAlphabet && otherLetters >= 3) ? Utf8Reading::Yes : Utf8Reading::Weak;
}

} // namespace

Encoding DetectEncoding(const unsigned char* in, std::size_t length) {
    bool high = false;
    bool shiftOut = false;
    for (std::size_t i = 0; i < length; ++i) {
        if (in[i] == 0x1B) {
            return Encoding::Iso2022Jp;
        }
        high = high || in[i] >= 0x80;
        shiftOut = shiftOut || in[i] == 0x0E;
    }
    if (!high) {
        // Half-width katakana between shift-out and shift-in need no escape sequence.
        return shiftOut ? Encoding::Iso2022Jp : Encoding::Ascii;
    }
    const Utf8Reading utf8 = ReadUtf8(in, length);
    if (utf8 == Utf8Reading::Yes) {
        return Encoding::Utf8;
    }
    const Tally euc = Read(in, length, NextEucJp);
    const Tally sjis = Read(in, length, NextShiftJis);
    if (utf8 == Utf8Reading::Weak && !euc.Whole() && !sjis.Whole()) {
        return Encoding::Utf8;
    }
    if (euc.errors != sjis.errors) {
        return sjis.errors < euc.errors ? Encoding::ShiftJis : Encoding::EucJp;
    }
    return sjis.score > euc.score ? Encoding::ShiftJis : Encoding::EucJp;
}

bool ReadsWithoutInvalidSequence(const unsigned char* in, std::size_t length, Encoding encoding) {
    Char (*next)(const unsigned char*, std::size_t) = nullptr;
    switch (encoding) {
    case Encoding::Iso2022Jp:
        for (std::size_t i = 0; i < length; ++i) {
            if (in[i] >= 0x80) {
                return false;
            }
        }
        return true;
    case Encoding::Utf8:
        next = NextUtf8;
        break;
    case Encoding::EucJp:
        next = NextEucJp;
        break;
    case Encoding::ShiftJis:
        next = NextShiftJis;
        break;
    case Encoding::Auto:
    case Encoding::Ascii:
        return true;
    }
    for (std::size_t i = 0; i < length;) {
        const Char c = next(in + i, length - i);
        if (c.kind == Kind::Invalid) {
            return false;
        }
        i += c.length;
    }
    return true;
}

} // namespace nkf
