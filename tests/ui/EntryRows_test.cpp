// Column widths, row cells and the row map of the check-box list.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ui/EntryRows.h"
#include "support/StoreBuilder.h"

namespace {

std::string Widths(const ListColumnSet& set) {
    std::string out;
    for (int i = 0; i < set.count; ++i) {
        out += (i ? " " : "") + std::string(set.column[i].title) + ":" + std::to_string(set.column[i].width);
    }
    return out;
}

TEST(ListColumns, TitlesAndWidthsPerMode) {
    EXPECT_EQ(Widths(ColumnsForTextMode(1, 512)), "URL:512");
    EXPECT_EQ(Widths(ColumnsForTextMode(2, 256)), "title:128 URL:128");
    EXPECT_EQ(Widths(ColumnsForTextMode(2, 257)), "title:256 URL:1");
    EXPECT_EQ(Widths(ColumnsForTextMode(2, 253)), "title:126 URL:126");
    EXPECT_EQ(Widths(ColumnsForTextMode(2, 255)), "title:128 URL:128");
    EXPECT_EQ(Widths(ColumnsForTextMode(2, 1152)), "title:256 URL:896");
    EXPECT_EQ(Widths(ColumnsForTextMode(4, 320)), "Format:107 title:107 Object:107");
    EXPECT_EQ(Widths(ColumnsForTextMode(4, 321)), "Format:64 title:256 Object:1");
    EXPECT_EQ(Widths(ColumnsForTextMode(4, 512)), "Format:64 title:256 Object:192");
    EXPECT_EQ(ColumnsForTextMode(0, 512).count, 0);
    EXPECT_EQ(ColumnsForTextMode(3, 512).count, 0);
}

TEST(ListColumns, SmallAndNegativeWidths) {
    EXPECT_EQ(Widths(ColumnsForTextMode(2, 0)), "title:0 URL:0");
    EXPECT_EQ(Widths(ColumnsForTextMode(2, 1)), "title:0 URL:0");
    EXPECT_EQ(Widths(ColumnsForTextMode(2, 3)), "title:2 URL:2");
    EXPECT_EQ(Widths(ColumnsForTextMode(2, -3)), "title:-2 URL:-2");
    EXPECT_EQ(Widths(ColumnsForTextMode(4, -128)), "Format:-43 title:-43 Object:-43");
    EXPECT_EQ(Widths(ColumnsForTextMode(1, -128)), "URL:-128");
    EXPECT_EQ(ColumnsForTextMode(4, INT_MIN).column[0].width, -715827883); // INT_MIN / 3, rounded
    EXPECT_EQ(ColumnsForTextMode(2, INT_MAX).column[1].width, INT_MAX - 256);
}

TEST(ListColumns, RoundingGoesToTheEvenNeighbourOnExactHalves) {
    EXPECT_EQ(RoundedQuotient(5, 2), 2);
    EXPECT_EQ(RoundedQuotient(7, 2), 4);
    EXPECT_EQ(RoundedQuotient(-5, 2), -2);
    EXPECT_EQ(RoundedQuotient(-7, 2), -4);
    EXPECT_EQ(RoundedQuotient(4, 3), 1);
    EXPECT_EQ(RoundedQuotient(5, 3), 2);
    EXPECT_EQ(RoundedQuotient(-4, 3), -1);
    EXPECT_EQ(RoundedQuotient(-5, 3), -2);
    EXPECT_EQ(RoundedQuotient(INT_MIN, 2), INT_MIN / 2);
}

class RowMapTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        // Text entries at 0 and 2, URL entries at 1 and 3, and a kind no mode shows at 4.
        FillStore(store(), {Text("zero"), Url("http://one.example/", "One"), Text("two!"),
                            Url("http://three.example/", "Three"), OtherKind("four", 9)});
    }
    HistoryStore& store() { return StoreTest::store; }
    ViewState& view() { return StoreTest::view; }
};

TEST_F(RowMapTest, UrlOnlyModesMapTheUrlEntries) {
    for (int mode : {1, 2}) {
        ASSERT_EQ(BuildRowMap(store(), view(), mode), 2);
        EXPECT_EQ(view().listRowCount, 2);
        EXPECT_EQ(view().listRowMap[0], 1);
        EXPECT_EQ(view().listRowMap[1], 3);
        EXPECT_EQ(view().listRowSerial[0], store().serial[1]);
        EXPECT_EQ(view().listRowSerial[1], store().serial[3]);
    }
}

TEST_F(RowMapTest, UrlTextModeMapsBothKindsButNoOthers) {
    ASSERT_EQ(BuildRowMap(store(), view(), 4), 4);
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(view().listRowMap[r], r);
        EXPECT_EQ(view().listRowSerial[r], store().serial[r]);
    }
    // Slots past the rows keep what they held.
    EXPECT_EQ(view().listRowMap[4], -1);
    EXPECT_EQ(BuildRowMap(store(), view(), 1), 2);
    EXPECT_EQ(view().listRowMap[2], 2);
}

TEST_F(RowMapTest, CellsPerMode) {
    ListRowCells url1 = RowCells(store(), 1, 1);
    ASSERT_EQ(url1.count, 1);
    EXPECT_STREQ(url1.cell[0], "http://one.example/");
    ListRowCells url2 = RowCells(store(), 2, 1);
    ASSERT_EQ(url2.count, 2);
    EXPECT_STREQ(url2.cell[0], "One");
    EXPECT_STREQ(url2.cell[1], "http://one.example/");
    ListRowCells url4 = RowCells(store(), 4, 1);
    ASSERT_EQ(url4.count, 3);
    EXPECT_STREQ(url4.cell[0], "[Url]");
    ListRowCells text4 = RowCells(store(), 4, 2);
    EXPECT_STREQ(text4.cell[0], "[Text]");
    EXPECT_STREQ(text4.cell[1], "4 Byte");
    EXPECT_STREQ(text4.cell[2], "two!");
}

TEST_F(RowMapTest, NoRowsWithoutAdmittedEntries) {
    FillStore(store(), {Text("only text")});
    EXPECT_EQ(BuildRowMap(store(), view(), 1), 0);
    EXPECT_EQ(view().listRowCount, 0);
    EXPECT_EQ(BuildRowMap(store(), view(), 0x10), 0);
}

} // namespace
