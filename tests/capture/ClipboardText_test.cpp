// Which clipboard format a capture reads, and the bound on a UTF-16 text it converts.
#include "capture/ClipboardText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/CaptureDecision.h"

namespace {

TEST(TextSourceOf, OnlyTheTwoTextFormatsAreRead) {
    EXPECT_EQ(TextSourceOf(1), TextSource::Ansi);
    EXPECT_EQ(TextSourceOf(13), TextSource::Unicode);
    // CF_OEMTEXT, CF_LOCALE, CF_HDROP and a registered format are passed over.
    for (unsigned other : {0u, 7u, 16u, 15u, 0xC123u}) {
        EXPECT_EQ(TextSourceOf(other), TextSource::None) << other;
    }
}

struct SourceCase {
    const char* name;
    TextSource placed;
    unsigned systemCodePage;
    unsigned localeCodePage; // 0: no CF_LOCALE
    TextSource expected;
};

TEST(TextSourceToRead, ShiftJisBytesAreTakenOnlyWhereTheyAreShiftJis) {
    const SourceCase cases[] = {
        {"932: CF_TEXT as placed", TextSource::Ansi, 932, 932, TextSource::Ansi},
        {"932 with an English keyboard: CF_TEXT still", TextSource::Ansi, 932, 1252, TextSource::Ansi},
        {"932 without CF_LOCALE", TextSource::Ansi, 932, 0, TextSource::Ansi},
        {"932: CF_UNICODETEXT as placed", TextSource::Unicode, 932, 1252, TextSource::Unicode},
        {"1252 with a Japanese CF_LOCALE: the bytes", TextSource::Ansi, 1252, 932, TextSource::Ansi},
        {"1252 with an English CF_LOCALE: through Unicode", TextSource::Ansi, 1252, 1252, TextSource::Unicode},
        {"1252 without CF_LOCALE: through Unicode", TextSource::Ansi, 1252, 0, TextSource::Unicode},
        {"UTF-8 with a UTF-8 CF_LOCALE: through Unicode", TextSource::Ansi, 65001, 65001, TextSource::Unicode},
        {"1252: CF_UNICODETEXT as placed", TextSource::Unicode, 1252, 932, TextSource::Unicode},
        {"no text", TextSource::None, 1252, 932, TextSource::None},
    };
    for (const SourceCase& c : cases) {
        EXPECT_EQ(TextSourceToRead(c.placed, c.systemCodePage, c.localeCodePage), c.expected) << c.name;
    }
}

// A UTF-16 block as the clipboard holds it: little-endian units.
std::vector<unsigned char> Block(const std::vector<unsigned>& units) {
    std::vector<unsigned char> bytes;
    for (unsigned unit : units) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}

std::vector<unsigned> Units(size_t count, unsigned unit) {
    return std::vector<unsigned>(count, unit);
}

std::vector<unsigned> Then(std::vector<unsigned> units, const std::vector<unsigned>& more) {
    units.insert(units.end(), more.begin(), more.end());
    return units;
}

// The capture's capacity: 2048 units are converted at most.
constexpr size_t Bound = 2 * CaptureCapacity + 2;

struct UnitsCase {
    const char* name;
    std::vector<unsigned> units;
    size_t blockBytes; // bytes of the block, when fewer than the units take
    int capacity;
    size_t expected;
};

TEST(WideUnitsToConvert, StopsAtTheZeroTheBlockOrTheBound) {
    const UnitsCase cases[] = {
        {"empty text", {0}, 0, CaptureCapacity, 0},
        {"up to the zero", {'a', 0x3042, 'b', 0, 'c', 0}, 0, CaptureCapacity, 3},
        {"a block without its zero", {'a', 'b', 'c'}, 0, CaptureCapacity, 3},
        {"an odd byte at the block's end is not a unit", {'a', 'b', 'c'}, 5, CaptureCapacity, 2},
        {"a long text stops at the bound", Units(5000, 0x3042), 0, CaptureCapacity, Bound},
        {"a text just under the bound", Then(Units(Bound - 1, 'a'), {0}), 0, CaptureCapacity, Bound - 1},
        {"a text ending at the bound", Units(Bound, 'a'), 0, CaptureCapacity, Bound},
        {"a pair parted by the bound loses its high half",
         Then(Units(Bound - 1, 'a'), {0xD83D, 0xDE00, 'z'}), 0, CaptureCapacity, Bound - 1},
        {"a pair ending at the bound stays whole", Then(Units(Bound - 2, 'a'), {0xD83D, 0xDE00, 'z'}), 0,
         CaptureCapacity, Bound},
        {"a lone high surrogate at the text's end stays", Then(Units(10, 'a'), {0xD83D, 0}), 0, CaptureCapacity, 11},
        {"a small capacity", Units(100, 'a'), 0, 5, 12},
        {"no capacity", Units(10, 'a'), 0, 0, 0},
    };
    for (const UnitsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<unsigned char> block = Block(c.units);
        const size_t bytes = c.blockBytes ? c.blockBytes : block.size();
        EXPECT_EQ(WideUnitsToConvert(block.data(), bytes, c.capacity), c.expected);
    }
    EXPECT_EQ(WideUnitsToConvert(nullptr, 8, CaptureCapacity), 0u);
}

} // namespace
