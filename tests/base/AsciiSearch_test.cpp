// The case-insensitive byte search the history file and the title cut-out share.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/AsciiSearch.h"

namespace {

// Offset of the first match, or -1.
long Find(const std::string& haystack, const char* pattern) {
    const char* begin = haystack.data();
    const char* hit = FindIgnoringAsciiCase(begin, begin + haystack.size(), pattern, std::strlen(pattern));
    return hit ? static_cast<long>(hit - begin) : -1;
}

TEST(AsciiSearch, FindsEveryCaseOfLettersAndOnlyLetters) {
    struct Case {
        const char* haystack;
        const char* pattern;
        long at;
    } cases[] = {
        {"xx<TiTlE>", "<title>", 2},
        {"__contensend", "__ContensEnd", 0},
        {"a__CONTENSEND", "__ContensEnd", 1},
        {"<title", "<title>", -1},             // cut short by the end
        {"@title", "`title", -1},              // '@' and '`' are not a case pair
        {"\x82\x60<x>", "<X>", 2},             // after a double-byte character
        {"abc", "", 0},
        {"", "a", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Find(c.haystack, c.pattern), c.at) << c.haystack << " / " << c.pattern;
    }
}

TEST(AsciiSearch, StopsAtTheEndItIsGivenNotAtAZero) {
    const std::string text("ab\0<title>", 10);
    EXPECT_EQ(Find(text, "<title>"), 3);
    const char* begin = text.data();
    EXPECT_EQ(FindIgnoringAsciiCase(begin, begin + 9, "<title>", 7), nullptr);
}

TEST(AsciiSearch, SameIgnoringCaseFoldsOnlyAsciiLetters) {
    EXPECT_EQ(SameIgnoringAsciiCase("HTTP://", "http://", 7), 1);
    EXPECT_EQ(SameIgnoringAsciiCase("\x82\x60", "\x82\x81", 2), 0); // full-width letters differ
    EXPECT_EQ(SameIgnoringAsciiCase("[", "{", 1), 0);
}

} // namespace
