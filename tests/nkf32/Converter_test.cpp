// The converter against nkf's output on a corpus of page titles, the characters whose forms
// differ between JIS and Microsoft's table, recognition, options and the output bound.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Converter.h"

namespace {

std::string FromHex(const std::string& hex) {
    std::string out;
    unsigned value = 0;
    int digits = 0;
    for (char ch : hex) {
        int v;
        if (ch >= '0' && ch <= '9') {
            v = ch - '0';
        } else if (ch >= 'a' && ch <= 'f') {
            v = ch - 'a' + 10;
        } else if (ch >= 'A' && ch <= 'F') {
            v = ch - 'A' + 10;
        } else {
            continue;
        }
        value = value << 4 | static_cast<unsigned>(v);
        if (++digits == 2) {
            out += static_cast<char>(value);
            value = 0;
            digits = 0;
        }
    }
    return out;
}

std::string ToHex(const std::string& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) {
            out += ' ';
        }
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::string Convert(const std::string& in, nkf::Encoding from = nkf::Encoding::Auto) {
    std::vector<char> out(nkf::kOutputCapacity, 'X');
    const std::size_t n = nkf::ConvertToSjis(reinterpret_cast<const unsigned char*>(in.data()), in.size(),
                                             from, out.data(), out.size());
    EXPECT_EQ(out[n], '\0');
    return std::string(out.data(), n);
}

std::string ConvertHex(const std::string& hex) {
    return ToHex(Convert(FromHex(hex)));
}

nkf::Encoding Detect(const std::string& in) {
    return nkf::DetectEncoding(reinterpret_cast<const unsigned char*>(in.data()), in.size());
}

// Well-formed code page 932: single bytes, or lead bytes each followed by a trail byte.
bool IsWholeShiftJis(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
            if (i + 1 >= s.size()) {
                return false;
            }
            const unsigned char t = static_cast<unsigned char>(s[++i]);
            if (t < 0x40 || t == 0x7F || t > 0xFC) {
                return false;
            }
        } else if (b == 0x80 || b == 0xA0 || b >= 0xFD || b == 0) {
            return false;
        }
    }
    return true;
}

struct CorpusLine {
    std::string input;
    std::string expected;
};

std::vector<CorpusLine> ReadCorpus(const char* name) {
    std::vector<CorpusLine> lines;
    const std::string path = std::string(CLIPWREN_TEST_DATA) + "/nkf32/corpus/" + name;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        ADD_FAILURE() << "cannot open " << path;
        return lines;
    }
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        text.append(buffer, n);
    }
    std::fclose(f);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        const std::size_t space = line.find(' ');
        if (space != std::string::npos) {
            lines.push_back({FromHex(line.substr(0, space)), FromHex(line.substr(space + 1))});
        }
        start = end + 1;
    }
    return lines;
}

struct CorpusCase {
    const char* file;
    nkf::Encoding encoding;
};

class Corpus : public testing::TestWithParam<CorpusCase> {};

// Every title converts to nkf's bytes both when its encoding is named and when it is recognised.
TEST_P(Corpus, MatchesNkfNamedAndRecognised) {
    const std::vector<CorpusLine> lines = ReadCorpus(GetParam().file);
    EXPECT_GE(lines.size(), 30u);
    for (const CorpusLine& line : lines) {
        const nkf::Encoding detected = Detect(line.input);
        if (detected != nkf::Encoding::Ascii) {
            EXPECT_EQ(detected, GetParam().encoding) << ToHex(line.input);
        }
        EXPECT_EQ(ToHex(Convert(line.input, GetParam().encoding)), ToHex(line.expected));
        EXPECT_EQ(ToHex(Convert(line.input)), ToHex(line.expected));
    }
}

// A page's title cut at 1022 bytes, inside a character or not, is still recognised.
TEST_P(Corpus, RecognisesLongTitlesCutAnywhere) {
    const std::vector<CorpusLine> lines = ReadCorpus(GetParam().file);
    for (std::size_t first = 0; first < lines.size(); first += 5) {
        std::string text;
        for (std::size_t k = first; text.size() < 1030; ++k) {
            text += lines[k % lines.size()].input + " | ";
        }
        for (std::size_t length = 1019; length <= 1022; ++length) {
            const std::string cut = text.substr(0, length);
            EXPECT_EQ(Detect(cut), GetParam().encoding) << first << " " << length;
            // A cut inside an escape sequence may leave its ASCII bytes, so ISO-2022-JP is not
            // held to the prefix rule.
            if (GetParam().encoding != nkf::Encoding::Iso2022Jp) {
                const std::string whole = Convert(text, GetParam().encoding);
                const std::string part = Convert(cut);
                EXPECT_EQ(whole.compare(0, part.size(), part), 0) << first << " " << length;
            }
        }
    }
}

// Prints how many titles come out as nkf makes them when told the encoding, and when left to
// recognise it: nkf takes some short EUC-JP and some UTF-8 of other alphabets for Shift_JIS, so
// the last figure is only reported. guessed.txt must cover the same inputs as the corpus.
TEST_P(Corpus, ReportsTheShareMatchingNkf) {
    const std::vector<CorpusLine> lines = ReadCorpus(GetParam().file);
    const std::vector<CorpusLine> guessed = ReadCorpus("guessed.txt");
    std::size_t declared = 0;
    std::size_t recognised = 0;
    std::size_t asNkfRecognises = 0;
    for (const CorpusLine& line : lines) {
        const std::string out = Convert(line.input);
        declared += Convert(line.input, GetParam().encoding) == line.expected;
        recognised += out == line.expected;
        const CorpusLine* nkfGuess = nullptr;
        for (const CorpusLine& g : guessed) {
            if (g.input == line.input) {
                nkfGuess = &g;
                break;
            }
        }
        if (nkfGuess == nullptr) {
            ADD_FAILURE() << "not in guessed.txt: " << ToHex(line.input);
            continue;
        }
        asNkfRecognises += out == nkfGuess->expected;
    }
    std::printf("%-14s %3zu titles: declared %3zu, recognised %3zu match nkf told the encoding; "
                "%3zu match nkf recognising it\n",
                GetParam().file, lines.size(), declared, recognised, asNkfRecognises);
}

INSTANTIATE_TEST_SUITE_P(Titles, Corpus,
                         testing::Values(CorpusCase{"utf8.txt", nkf::Encoding::Utf8},
                                         CorpusCase{"eucjp.txt", nkf::Encoding::EucJp},
                                         CorpusCase{"iso2022jp.txt", nkf::Encoding::Iso2022Jp},
                                         CorpusCase{"sjis.txt", nkf::Encoding::ShiftJis}));

TEST(Converter, MapsTheCharactersWhoseFormsDifferTheWayNkfDoes) {
    // Wave dash and full-width tilde.
    EXPECT_EQ(ConvertHex("31 30 E3 80 9C 31 39 EF BD 9E"), "31 30 81 60 31 39 81 60");
    // Minus, double vertical line, em dash.
    EXPECT_EQ(ConvertHex("E2 88 92 35 E2 80 96 E2 80 94"), "81 7C 35 81 61 81 5C");
    EXPECT_EQ(ConvertHex("EF BC 8D E2 88 A5 E2 80 95"), "81 7C 81 61 81 5C");
    // Cent, pound, not; the full-width forms too.
    EXPECT_EQ(ConvertHex("E6 97 A5 E6 9C AC C2 A2 C2 A3 C2 AC"), "93 FA 96 7B 81 91 81 92 81 CA");
    EXPECT_EQ(ConvertHex("EF BF A0 EF BF A1 EF BF A2"), "81 91 81 92 81 CA");
    // Yen sign and overline as their full-width forms, broken bar at its IBM code.
    EXPECT_EQ(ConvertHex("C2 A5 E2 80 BE C2 A6"), "81 8F 81 50 FA 55");
}

TEST(Converter, KeepsNecAndIbmCharacters) {
    EXPECT_EQ(ConvertHex("E2 91 A0 E3 88 B1 E2 84 96"), "87 40 87 8A 87 82");
    EXPECT_EQ(ConvertHex("E9 AB 99 EF A8 91"), "FB FC FA B1");
    // Duplicates go where Windows writes them: JIS row 2 before NEC's row 13, NEC's roman
    // numerals before IBM's, IBM's small roman numerals.
    EXPECT_EQ(ConvertHex("E2 89 92 E2 85 A0 E2 85 B0"), "81 E0 87 54 FA 40");
    // EUC-JP: NEC row 13, three-byte IBM kanji (eucJP-ms), NEC's selection of IBM kanji
    // (CP51932) moved to the IBM codes.
    EXPECT_EQ(ConvertHex("A5 CB A5 E5 A1 BC A5 B9"), "83 6A 83 85 81 5B 83 58");
    EXPECT_EQ(ConvertHex("8F F4 FB B6 B6 B9 A9 CC B3 C5 B9"), "FB FC 8B B4 8D 48 96 B1 93 58");
    EXPECT_EQ(ToHex(Convert(FromHex("AD A1 FC E2 F9 F5"), nkf::Encoding::EucJp)), "87 40 FB FC FA B1");
    EXPECT_EQ(ToHex(Convert(FromHex("8F A2 B7"), nkf::Encoding::EucJp)), "81 60");
}

TEST(Converter, KeepsHalfWidthKatakanaHalfWidth) {
    EXPECT_EQ(ConvertHex("EF BD B6 EF BE 9E EF BD B2 EF BE 84 EF BE 9E"), "B6 DE B2 C4 DE");
    EXPECT_EQ(ConvertHex("1B 24 42 25 3B 21 3C 25 6B 1B 28 49 36 5E"), "83 5A 81 5B 83 8B B6 DE");
    EXPECT_EQ(ToHex(Convert(FromHex("8E B6 8E DE A4 CE"), nkf::Encoding::EucJp)), "B6 DE 82 CC");
    // Shift-out and shift-in select the katakana set too.
    EXPECT_EQ(ConvertHex("1B 24 42 46 7C 0E 36 5E 0F 1B 28 42 41"), "93 FA B6 DE 41");
}

TEST(Converter, PassesShiftJisAndAsciiThroughUnchanged) {
    EXPECT_EQ(ConvertHex("83 5C 83 74 83 67 95 5C 8E A6 5C"), "83 5C 83 74 83 67 95 5C 8E A6 5C");
    // No MIME decoding.
    EXPECT_EQ(Convert("=?UTF-8?B?5pel?="), "=?UTF-8?B?5pel?=");
    EXPECT_EQ(Convert("Tab\tand\r\nbreaks  kept"), "Tab\tand\r\nbreaks  kept");
    // Unassigned but well-formed codes are the page's own business.
    EXPECT_EQ(ToHex(Convert(FromHex("85 40 F0 40"), nkf::Encoding::ShiftJis)), "85 40 F0 40");
}

TEST(Converter, LeavesOutCharactersWithoutAShiftJisForm) {
    // e acute, euro sign, an emoji, Hangul, a byte order mark.
    EXPECT_EQ(ConvertHex("43 61 66 C3 A9 20 E2 82 AC 31 F0 9F 98 80 ED 95 9C EF BB BF 21"),
              "43 61 66 20 31 21");
    // EUC-JP: an empty row, and a JIS X 0212 kanji that code page 932 lacks.
    EXPECT_EQ(ToHex(Convert(FromHex("A9 A1 41 8F B0 A1 A4 A2"), nkf::Encoding::EucJp)), "41 82 A0");
    EXPECT_EQ(ConvertHex("1B 24 28 44 30 21 1B 28 42 41"), "41");
}

TEST(Converter, ReadsIso2022JpVariants) {
    EXPECT_EQ(ConvertHex("1B 24 42 46 7C 4B 5C 1B 28 42"), "93 FA 96 7B");
    // The final ESC ( B missing, JIS X 0201 roman, the 1978 set.
    EXPECT_EQ(ConvertHex("41 1B 24 42 46 7C 4B 5C"), "41 93 FA 96 7B");
    EXPECT_EQ(ConvertHex("1B 28 4A 5C 7E 1B 28 42"), "5C 7E");
    EXPECT_EQ(ConvertHex("1B 24 40 46 7C"), "93 FA");
    // JIS X 0213 plane 1: as JIS X 0208 up to row 84 (NEC's row 13 included), nothing beyond.
    EXPECT_EQ(ConvertHex("1B 24 28 51 46 7C 2D 21 7C 62 1B 28 42"), "93 FA 87 40");
    EXPECT_EQ(ConvertHex("1B 24 42 7C 62 1B 28 42"), "FB FC");
    // A line break inside kanji text keeps the kanji set.
    EXPECT_EQ(ConvertHex("1B 24 42 46 7C 0D 0A 46 7C 1B 28 42"), "93 FA 0D 0A 93 FA");
    // An unknown escape and half a pair at the end are dropped.
    EXPECT_EQ(ConvertHex("1B 25 47 41 1B 24 42 46 7C 4B"), "25 47 41 93 FA");
    // It is a 7-bit encoding: high bytes (UTF-8 here) are not characters of it.
    EXPECT_EQ(ConvertHex("1B 24 42 46 7C 1B 28 42 B6 E3 81 82 41"), "93 FA 41");
}

TEST(Converter, DropsMalformedBytes) {
    // UTF-8 cut inside the last character.
    EXPECT_EQ(ConvertHex("E3 81 8A E7 9F A5 E3 82 89 E3 81"), "82 A8 92 6D 82 E7");
    EXPECT_EQ(ConvertHex("E3 81 8A F0 9F"), "82 A8");
    // Shift_JIS with a lead byte at the end or before a byte that cannot follow it.
    EXPECT_EQ(ConvertHex("82 A0 81 0A 82"), "82 A0 0A");
    // EUC-JP with a half-width katakana prefix before a byte that is not one.
    EXPECT_EQ(ConvertHex("A4 A2 8E 41 B0 FD"), "82 A0 41 88 FB");
}

struct ReadingCase {
    const char* hex;
    nkf::Encoding encoding;
    bool valid;
};

TEST(Converter, TellsWhetherBytesAreValidInAnEncoding) {
    using E = nkf::Encoding;
    const ReadingCase cases[] = {
        {"E3 81 82 41", E::Utf8, true},
        {"E3 81", E::Utf8, true}, // cut off by the end
        {"C0 AF", E::Utf8, false}, // overlong
        {"E0 80 80", E::Utf8, false},
        {"ED A0 80", E::Utf8, false}, // surrogate
        {"F4 90 80 80", E::Utf8, false}, // beyond U+10FFFF
        {"41 FF", E::Utf8, false},
        {"82 A0 B6 F0 40 82", E::ShiftJis, true},
        {"81 0A", E::ShiftJis, false},
        {"80", E::ShiftJis, false},
        {"A0", E::ShiftJis, false},
        {"FD", E::ShiftJis, false},
        {"8F B0 A1 A9 A1 A4", E::EucJp, true}, // no Shift_JIS form, an empty row, cut
        {"8F A1 41", E::EucJp, false},
        {"8E 41", E::EucJp, false},
        {"8E E0", E::EucJp, false},
        {"1B 24 42 46 7C 0E 36 0F 1B 28 42", E::Iso2022Jp, true},
        {"1B 24 42 A4 A2", E::Iso2022Jp, false},
        {"FF 80", E::Auto, true},
    };
    for (const ReadingCase& c : cases) {
        const std::string in = FromHex(c.hex);
        EXPECT_EQ(nkf::ReadsWithoutInvalidSequence(reinterpret_cast<const unsigned char*>(in.data()),
                                                   in.size(), c.encoding),
                  c.valid)
            << c.hex;
    }
}

TEST(Recognition, FollowsTheOrderEscapeAsciiUtf8ThenEucOrShiftJis) {
    EXPECT_EQ(Detect(FromHex("1B 24 42 46 7C E3 81 82")), nkf::Encoding::Iso2022Jp);
    EXPECT_EQ(Detect("plain title"), nkf::Encoding::Ascii);
    EXPECT_EQ(Detect(FromHex("E3 81 82 E3")), nkf::Encoding::Utf8);
    // A lone cut-off lead byte is no multi-byte sequence.
    EXPECT_EQ(Detect(FromHex("41 E3")), nkf::Encoding::EucJp);
    // Half-width katakana that read as one two-byte sequence and a cut one are not UTF-8; three
    // two-byte sequences and a cut one are.
    EXPECT_EQ(Detect(FromHex("50 20 C3 BD C4")), nkf::Encoding::ShiftJis);
    EXPECT_EQ(Detect(FromHex("C3 A9 C3 A8 C3 BC 20 C3")), nkf::Encoding::Utf8);
    // Two EUC-JP kanji that are also two valid two-byte UTF-8 sequences (U+036B U+0775); UTF-8
    // of the same shape that EUC-JP and Shift_JIS cannot read; accented Latin letters.
    EXPECT_EQ(Detect(FromHex("CD AB DD B5")), nkf::Encoding::EucJp);
    EXPECT_EQ(Detect(FromHex("D7 A9 D7 9C D7 95 D7 9D")), nkf::Encoding::Utf8);
    EXPECT_EQ(Detect(FromHex("43 61 66 C3 A9")), nkf::Encoding::Utf8);
    EXPECT_EQ(Detect(FromHex("82 B1 82 F1 82 C9 82 BF 82 CD")), nkf::Encoding::ShiftJis);
    EXPECT_EQ(Detect(FromHex("A4 B3 A4 F3 A4 CB A4 C1 A4 CF")), nkf::Encoding::EucJp);
    // Kanji that read as pairs of half-width katakana either way: a tie, to EUC-JP.
    EXPECT_EQ(Detect(FromHex("B4 C1 BB FA")), nkf::Encoding::EucJp);
    // Half-width katakana alone, in Shift_JIS and in EUC-JP.
    EXPECT_EQ(Detect(FromHex("CE B0 D1 CD DF B0 BC DE")), nkf::Encoding::ShiftJis);
    EXPECT_EQ(Detect(FromHex("B6 DE B2 C4 DE")), nkf::Encoding::ShiftJis);
    EXPECT_EQ(Detect(FromHex("8E CE 8E B0 8E D1")), nkf::Encoding::EucJp);
}

struct RecognitionCase {
    const char* what;
    const char* hex;
    nkf::Encoding encoding;
    const char* output;
};

// Text that another encoding also reads whole, each with the bytes nkf makes when told the
// encoding: the characters without a Shift_JIS form are left out, nothing else.
TEST(Recognition, PicksTheEncodingThatOtherReadingsAlsoFit) {
    using E = nkf::Encoding;
    const RecognitionCase cases[] = {
        {"EUC-JP e acute of JIS X 0212", "43 61 66 8F AB B1", E::EucJp, "43 61 66"},
        {"EUC-JP JIS X 0212 kanji among others", "BF B9 8F EC BF B3 B0", E::EucJp, "90 58 8A 4F"},
        {"EUC-JP JIS X 0212 tilde", "31 30 8F A2 B7 31 39", E::EucJp, "31 30 81 60 31 39"},
        {"EUC-JP JIS X 0212 in katakana", "A5 DD A5 B1 A5 E2 A5 F3 20 50 6F 6B 8F AB B1 6D 6F 6E", E::EucJp,
         "83 7C 83 50 83 82 83 93 20 50 6F 6B 6D 6F 6E"},
        {"shift-out katakana, no escape", "41 42 43 20 0E 36 5E 32 44 5E 0F 20 44 45 46", E::Iso2022Jp,
         "41 42 43 20 B6 DE B2 C4 DE 20 44 45 46"},
        {"shift-out up to the end", "0E 36 5E", E::Iso2022Jp, "B6 DE"},
        {"UTF-8 Hebrew", "57 69 6B 69 20 D7 A2 D7 91 D7 A8 D7 99 D7 AA", E::Utf8, "57 69 6B 69 20"},
        {"UTF-8 Arabic", "42 42 43 20 D8 A3 D8 AE D8 A8 D8 A7 D8 B1", E::Utf8, "42 42 43 20"},
        {"UTF-8 Armenian", "D5 AC D5 A1 D5 BE D5 A1 D5 B7", E::Utf8, ""},
        {"UTF-8 Hebrew after Latin", "43 61 66 C3 A9 20 D7 A2 D7 91 D7 A8 D7 99 D7 AA", E::Utf8, "43 61 66 20"},
        // Two EUC-JP kanji of one row read as two Hebrew letters: too short to be a word.
        {"EUC-JP kanji pair", "D7 A2 D7 AA", E::EucJp, "9C 41 9C 49"},
        // Three letters, but of two alphabets (Hebrew, Arabic): kanji of different rows.
        {"EUC-JP kanji of three rows", "D7 A2 D8 A1 D7 AA", E::EucJp, "9C 41 9C 9F 9C 49"},
    };
    for (const RecognitionCase& c : cases) {
        const std::string in = FromHex(c.hex);
        EXPECT_EQ(Detect(in), c.encoding) << c.what;
        EXPECT_EQ(ToHex(Convert(in)), c.output) << c.what;
        EXPECT_EQ(ToHex(Convert(in, c.encoding)), c.output) << c.what;
    }
}

struct DeclaredCase {
    const char* what;
    const char* options;
    const char* hex;
    const char* output;
};

TEST(Options, DeclaredEncodingCountsUnlessTheBytesContradictIt) {
    const DeclaredCase cases[] = {
        {"UTF-8 declared, Shift_JIS sent", "sW", "93 FA 96 7B 8C EA", "93 FA 96 7B 8C EA"},
        {"Shift_JIS declared, UTF-8 sent", "sS", "E3 82 B2 E3 83 BC E3 83 A0", "83 51 81 5B 83 80"},
        {"EUC-JP declared, Shift_JIS sent", "-E -s", "82 B1 82 F1 82 C9 82 BF 82 CD", "82 B1 82 F1 82 C9 82 BF 82 CD"},
        {"ISO-2022-JP declared, UTF-8 sent", "sJ", "E6 97 A5 E6 9C AC", "93 FA 96 7B"},
        {"contradicted and recognised as itself", "sE", "A4 A2 8E 41 B0 FD", "82 A0 41 88 FB"},
        // Recognised as EUC-JP kanji; half-width katakana as declared.
        {"fitting declaration beats the guess", "sS", "B4 C1 BB B2", "B4 C1 BB B2"},
        // Recognised as Shift_JIS half-width katakana; a y acute, cut, as declared.
        {"a cut character contradicts nothing", "sW", "C3 BD C4", ""},
        {"EUC-JP without a Shift_JIS form", "sE", "8F B0 A1 A4 CE", "82 CC"},
        {"nothing declared", "s", "B4 C1 BB B2", "8A BF 8E 51"},
    };
    for (const DeclaredCase& c : cases) {
        char out[nkf::kOutputCapacity];
        nkf::Convert(FromHex(c.hex).c_str(), out, nkf::ParseOptions(c.options));
        EXPECT_EQ(ToHex(out), c.output) << c.what;
    }
}

TEST(Options, NameTheInputOrLeaveItToRecognition) {
    EXPECT_EQ(nkf::ParseOptions("s").input, nkf::Encoding::Auto);
    EXPECT_EQ(nkf::ParseOptions(nullptr).input, nkf::Encoding::Auto);
    EXPECT_EQ(nkf::ParseOptions("-E -s").input, nkf::Encoding::EucJp);
    EXPECT_EQ(nkf::ParseOptions("sxm0W").input, nkf::Encoding::Utf8);
    EXPECT_EQ(nkf::ParseOptions("-J -S").input, nkf::Encoding::ShiftJis);
    EXPECT_EQ(nkf::ParseOptions("--ic=EUC-JP -s").input, nkf::Encoding::Auto);

    char out[nkf::kOutputCapacity];
    nkf::Options euc;
    euc.input = nkf::Encoding::EucJp;
    nkf::Convert("\xA4\xA2", out, euc);
    EXPECT_EQ(ToHex(out), "82 A0");
}

// Whatever the input, the output has at most 1023 bytes and ends on a whole character.
TEST(Bound, HoldsForLongAndArbitraryInput) {
    const std::string sjis = FromHex("82 A0");
    std::string longSjis;
    while (longSjis.size() < 3000) {
        longSjis += sjis;
    }
    EXPECT_EQ(Convert(longSjis).size(), 1022u);
    EXPECT_EQ(Convert(std::string(1022, 'a')).size(), 1022u);
    EXPECT_EQ(Convert(std::string(3000, 'a')).size(), 1023u);
    EXPECT_EQ(Convert("a" + longSjis).size(), 1023u);
    const std::string odd = Convert("a" + longSjis);
    EXPECT_TRUE(IsWholeShiftJis(odd));

    // Buffers too small for even one character.
    const unsigned char kanji[] = {0x82, 0xA0};
    char tiny[2] = {'X', 'X'};
    EXPECT_EQ(nkf::ConvertToSjis(kanji, 2, nkf::Encoding::ShiftJis, tiny, 0), 0u);
    EXPECT_EQ(tiny[0], 'X');
    EXPECT_EQ(nkf::ConvertToSjis(kanji, 2, nkf::Encoding::ShiftJis, tiny, 2), 0u);
    EXPECT_EQ(tiny[0], '\0');

    std::uint32_t seed = 12345;
    auto random = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<unsigned char>(seed >> 16);
    };
    const nkf::Encoding all[] = {nkf::Encoding::Auto, nkf::Encoding::Utf8, nkf::Encoding::EucJp,
                                 nkf::Encoding::ShiftJis, nkf::Encoding::Iso2022Jp};
    for (int round = 0; round < 400; ++round) {
        std::string in(1 + random() * 8 % 1022 + (round % 3 == 0 ? 1000 : 0), '\0');
        for (char& ch : in) {
            ch = static_cast<char>(random() | (round % 2 == 0 ? 0x80 : 0));
            if (ch == '\0' || (round % 4 == 1 && random() < 8)) {
                ch = '\x1B';
            }
        }
        for (nkf::Encoding from : all) {
            const std::string out = Convert(in, from);
            ASSERT_LE(out.size(), 1023u);
            ASSERT_TRUE(IsWholeShiftJis(out)) << ToHex(in);
        }
    }
}

} // namespace
