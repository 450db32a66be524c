// The title cut-out: tag matching, the 1024-byte window, zero bytes and the bounded copy.
#include "web/TitleExtract.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Cut {
    int length;
    std::string title;
};

// Runs the cut-out over body with the capacity the download uses; "#untouched" marks a
// destination the cut-out did not write.
Cut CutTitle(const std::string& body, int capacity = 1023) {
    char destination[1100];
    std::memset(destination, 0, sizeof destination);
    std::strcpy(destination, "#untouched");
    int n = ExtractPageTitle(body.data(), body.size(), destination, capacity);
    return {n, destination};
}

std::string Padding(size_t n) {
    return std::string(n, 'x');
}

} // namespace

TEST(TitleExtract, TagsMatchWithoutRegardToCase) {
    EXPECT_EQ(CutTitle("<html><head><TITLE>News</TITLE></head>").title, "News");
    EXPECT_EQ(CutTitle("<html><head><TITLE>News</TITLE></head>").length, 4);
    EXPECT_EQ(CutTitle("<Title>Mixed</tItLe>").title, "Mixed");
    EXPECT_EQ(CutTitle("<title>lower</TITLE>").title, "lower");
}

TEST(TitleExtract, FirstStartTagAndFirstEndTagAfterIt) {
    EXPECT_EQ(CutTitle("</title><title>A</title><title>B</title>").title, "A");
    // Markup between the tags is part of the title, byte for byte.
    EXPECT_EQ(CutTitle("<title>a <b>bold</b> &amp; c</title>").title, "a <b>bold</b> &amp; c");
}

TEST(TitleExtract, NoTitleLeavesDestinationUntouched) {
    for (const char* body : {"", "<html><head></head><body>none</body>", "<title>never closed",
                             "no start tag</title>", "<title</title>"}) {
        Cut cut = CutTitle(body);
        EXPECT_EQ(cut.length, 0) << body;
        EXPECT_EQ(cut.title, "#untouched") << body;
    }
}

TEST(TitleExtract, TagsWithAttributesOrSpacesAreNotTags) {
    EXPECT_EQ(CutTitle("<title lang=\"ja\">Attr</title>").title, "#untouched");
    EXPECT_EQ(CutTitle("<title>Spaced</title >").title, "#untouched");
    // A later plain start tag still counts.
    EXPECT_EQ(CutTitle("<title id=a>x</title><title>Plain</title>").title, "Plain");
}

TEST(TitleExtract, EmptyTitleWritesEmptyStringAndReturnsZero) {
    Cut cut = CutTitle("<head><title></title></head>");
    EXPECT_EQ(cut.length, 0);
    EXPECT_EQ(cut.title, "");
}

TEST(TitleExtract, SpacesAndLineBreaksAreKept) {
    EXPECT_EQ(CutTitle("<title>\r\n  Two words \t\n</title>").title, "\r\n  Two words \t\n");
    EXPECT_EQ(CutTitle("<title> </title>").length, 1);
}

TEST(TitleExtract, OnlyTheFirst1024BytesAreSearched) {
    // Title starting after byte 1024.
    EXPECT_EQ(CutTitle(Padding(1030) + "<title>Late</title>").title, "#untouched");
    // Start tag straddling the boundary.
    EXPECT_EQ(CutTitle(Padding(1020) + "<title>Late</title>").title, "#untouched");
    // End tag beyond the boundary, or cut by it.
    EXPECT_EQ(CutTitle(Padding(1000) + "<title>Long title</title>").title, "#untouched");
    EXPECT_EQ(CutTitle(Padding(1024 - 7 - 4 - 7) + "<title>Edge</title>").title, "#untouched");
    // End tag whose last byte is byte 1024.
    Cut edge = CutTitle(Padding(1024 - 7 - 4 - 8) + "<title>Edge</title>" + "tail");
    EXPECT_EQ(edge.title, "Edge");
}

TEST(TitleExtract, LengthArgumentBoundsTheSearch) {
    std::string body = "<title>Hidden</title>";
    char destination[64] = "#untouched";
    EXPECT_EQ(ExtractPageTitle(body.data(), body.size() - 1, destination, 64), 0);
    EXPECT_STREQ(destination, "#untouched");
    EXPECT_EQ(ExtractPageTitle(body.data(), body.size(), destination, 64), 6);
    EXPECT_STREQ(destination, "Hidden");
}

TEST(TitleExtract, ZeroByteEndsTheSearch) {
    using namespace std::string_literals;
    EXPECT_EQ(CutTitle("<html>\0<title>After zero</title>"s).title, "#untouched");
    EXPECT_EQ(CutTitle("<title>Cut\0 short</title>"s).title, "#untouched");
    EXPECT_EQ(CutTitle("<title>Before</title>\0<title>x</title>"s).title, "Before");
}

TEST(TitleExtract, MultiByteTitlesAreCopiedByteForByte) {
    // Shift_JIS with the trail byte 0x5C ("表示"), UTF-8 ending in "。" (E3 80 82) right before
    // the end tag, EUC-JP, and ISO-2022-JP escapes.
    for (const char* title : {"\x95\x5C\x8E\xA6", "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x80\x82", "\xC6\xFC\xCB\xDC",
                              "\x1B$BF|K\\\x1B(B"}) {
        Cut cut = CutTitle(std::string("<title>") + title + "</title>");
        EXPECT_EQ(cut.title, title);
        EXPECT_EQ(cut.length, static_cast<int>(std::strlen(title)));
    }
}

TEST(TitleExtract, CapacityBoundsTheCopy) {
    EXPECT_EQ(CutTitle("<title>abcdefgh</title>", 5).title, "abcd");
    EXPECT_EQ(CutTitle("<title>abcdefgh</title>", 5).length, 4);
    EXPECT_EQ(CutTitle("<title>abcdefgh</title>", 9).title, "abcdefgh");
    // The cut may split a double-byte character.
    Cut split = CutTitle("<title>\x93\xFA\x96\x7B</title>", 4);
    EXPECT_EQ(split.title, "\x93\xFA\x96");
    EXPECT_EQ(CutTitle("<title>abc</title>", 1).title, "");
    EXPECT_EQ(CutTitle("<title>abc</title>", 1).length, 0);
    EXPECT_EQ(CutTitle("<title>abc</title>", 0).title, "#untouched");
    EXPECT_EQ(CutTitle("<title>abc</title>", -3).title, "#untouched");
}

TEST(TitleExtract, LongestPossibleTitle) {
    // Start tag at byte 0 and end tag ending at byte 1024 leave 1009 bytes of title.
    std::string title(1009, 'T');
    Cut cut = CutTitle("<title>" + title + "</title>" + Padding(100));
    EXPECT_EQ(cut.length, 1009);
    EXPECT_EQ(cut.title, title);
}
