// Texts of the list actions, rows found again by identity, and the delete walks.
#include <gtest/gtest.h>

#include <string>

#include "base/UiTexts.h"
#include "ui/ActionTexts.h"
#include "ui/EntryRows.h"
#include "ui/ListActionPlan.h"
#include "support/StoreBuilder.h"

namespace {

std::string Slots(const SlotList& list) {
    std::string out;
    for (int k = 0; k < list.count; ++k) {
        out += (k ? " " : "") + std::to_string(list.slot[k]);
    }
    return out;
}

TEST(ActionTexts, MenuItems) {
    EXPECT_EQ(OpenItemText(EntryKind::Url, "Example"), "[Example]を開く");
    EXPECT_EQ(OpenItemText(EntryKind::Text, "5 Byte"), "[TEXT] - 5 Byte");
    EXPECT_EQ(OpenItemText(static_cast<EntryKind>(3), "odd"), "[TEXT] - odd");
    EXPECT_EQ(std::string(DeleteOneItemText), "一件を削除");
    EXPECT_EQ(std::string(DeleteCheckedItemText), "複数項目（チェック選択）を削除");
    EXPECT_EQ(std::string("[Example]を開く").size(), 15u); // Shift_JIS: 2 bytes per kana
}

TEST(ActionTexts, MessageBoxes) {
    EXPECT_EQ(ViewTextMessage("5 Byte", "hello"),
              "[Text] - 5 Byte\r\n---------------------------------------\r\nhello");
    EXPECT_EQ(ViewTextMessage("t", "c").find(std::string(39, '-') + "\r\n"), 12u); // after "[Text] - t\r\n"
    const std::string tail = "\r\n--------------------------\r\nを削除して良いですか？";
    EXPECT_EQ(DeleteOneMessage(EntryKind::Text, "5 Byte", "hello"), "[Text] - 5 Byte\r\nhello" + tail);
    EXPECT_EQ(DeleteOneMessage(EntryKind::Url, "T", "http://a.example/"),
              "[Url] - T\r\nhttp://a.example/" + tail);
    EXPECT_EQ(DeleteOneMessage(static_cast<EntryKind>(0), "t", "c"), "[Unknown Format] - t\r\nc" + tail);
    EXPECT_EQ(DeleteCheckedMessage(3), "選択された3個の項目を削除しても良いですか？");
    EXPECT_EQ(DeleteCheckedMessage(127), "選択された127個の項目を削除しても良いですか？");
    EXPECT_EQ(std::string(DeleteCaption), "削除の確認");
    EXPECT_EQ(std::string(ViewTextCaption), "TEXT内容の確認");
}

class PlanTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        FillStore(store(), {Url("http://u0.example/", "0"), Url("http://u1.example/", "1"),
                            Url("http://u2.example/", "2"), Url("http://u3.example/", "3"),
                            Url("http://u4.example/", "4")});
        BuildRowMap(store(), view(), 1);
    }
    HistoryStore& store() { return StoreTest::store; }
    ViewState& view() { return StoreTest::view; }
};

TEST_F(PlanTest, RowsFollowTheirEntriesThroughCaptures) {
    EXPECT_EQ(EntryOfRow(store(), view(), 2), 2);
    InsertAtTop(store(), "http://new.example/", EntryKind::Url, "new");
    EXPECT_EQ(EntryOfRow(store(), view(), 2), 3);
    PromoteToTop(store(), 3);
    EXPECT_EQ(EntryOfRow(store(), view(), 2), 0);
    RemoveAt(store(), 0);
    EXPECT_EQ(EntryOfRow(store(), view(), 2), -1);
}

TEST_F(PlanTest, RowsWithoutEntries) {
    EXPECT_EQ(EntryOfRow(store(), view(), -1), -1);
    EXPECT_EQ(EntryOfRow(store(), view(), 5), -1);
    EXPECT_EQ(EntryOfRow(store(), view(), 100000), -1);
    view().listRowMap[1] = -1;
    EXPECT_EQ(EntryOfRow(store(), view(), 1), -1);
}

TEST_F(PlanTest, DeleteCheckedSkipsRowZeroAndGoesHighestFirst) {
    int checked[SlotArraySize] = {1, 1, 0, 1, 0};
    SerialList serials = CheckedRowSerials(view(), checked);
    ASSERT_EQ(serials.count, 2);
    EXPECT_EQ(Slots(SlotsOfSerials(store(), serials)), "3 1");
    // A capture while the question is open moves both down; a promotion can make one the newest,
    // which then stays.
    InsertAtTop(store(), "http://new.example/", EntryKind::Url, "new");
    EXPECT_EQ(Slots(SlotsOfSerials(store(), serials)), "4 2");
    PromoteToTop(store(), 4);
    EXPECT_EQ(Slots(SlotsOfSerials(store(), serials)), "3");
    RemoveAt(store(), 3);
    EXPECT_EQ(SlotsOfSerials(store(), serials).count, 0);
}

TEST_F(PlanTest, DeleteAllWalk) {
    EXPECT_EQ(Slots(DeleteAllSlots(5)), "4 3 2 1");
    EXPECT_EQ(DeleteAllSlots(1).count, 0);
    EXPECT_EQ(DeleteAllSlots(0).count, 0);
    EXPECT_EQ(DeleteAllSlots(127).count, 126);
}

TEST_F(PlanTest, OnlyWebAddressesGoToTheShell) {
    FillStore(store(),
              {Url("http://a.example/", "a"), Url("C:\\Windows\\System32\\calc.exe", "x"),
               Url("cmd.exe /c del *", "x"), Text("http://b.example/"), Url("file:///C:/x.exe", "x")});
    EXPECT_EQ(ShouldOpenWithShell(store(), 0), 1);
    EXPECT_EQ(ShouldOpenWithShell(store(), 1), 0);
    EXPECT_EQ(ShouldOpenWithShell(store(), 2), 0);
    EXPECT_EQ(ShouldOpenWithShell(store(), 3), 0);
    EXPECT_EQ(ShouldOpenWithShell(store(), 4), 0);
}

} // namespace
