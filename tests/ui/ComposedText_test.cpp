// The composed text of the text view, byte for byte, in the three text modes.
#include <gtest/gtest.h>

#include <string>

#include "ui/ComposedText.h"
#include "support/StoreBuilder.h"

namespace {

const std::string Hyphens30(30, '-');

class ComposedTextTest : public StoreTest {
protected:
    HistoryStore& store() { return StoreTest::store; }
    ViewState& view() { return StoreTest::view; }
    std::string Compose(int32_t mode) {
        view().displayMode = mode;
        return RebuildViewText(store(), view());
    }
};

TEST_F(ComposedTextTest, WorkedExampleInEachMode) {
    FillStore(store(), {Text("abc"), Url("http://example.com/", "Example Page")});
    EXPECT_EQ(Compose(1), "http://example.com/\r\n");
    EXPECT_EQ(Compose(2), "[Web Page] - Example Page\r\nhttp://example.com/\r\n\r\n");
    EXPECT_EQ(Compose(4), "[Text] - 3 Byte\r\nabc\r\n" + Hyphens30 +
                              "\r\n\r\n"
                              "[Web Page] - Example Page\r\nhttp://example.com/\r\n" +
                              Hyphens30 + "\r\n\r\n");
    // The list bit does not change the text mode.
    EXPECT_EQ(Compose(2 | DisplayMode::ListDisplay),
              "[Web Page] - Example Page\r\nhttp://example.com/\r\n\r\n");
}

TEST_F(ComposedTextTest, NothingAdmittedGivesNon) {
    FillStore(store(), {Text("abc")});
    EXPECT_EQ(Compose(1), "Non");
    EXPECT_EQ(Compose(2), "Non");
    EXPECT_EQ(Compose(4), "[Text] - 3 Byte\r\nabc\r\n" + Hyphens30 + "\r\n\r\n");
    // Kinds from an edited history file are shown in no mode, so mode 4 says "Non" as well.
    FillStore(store(), {OtherKind("x", 3), OtherKind("y", 0)});
    EXPECT_EQ(Compose(4), "Non");
    EXPECT_EQ(Compose(1), "Non");
}

TEST_F(ComposedTextTest, EmptyHistoryKeepsTheTextComposedLast) {
    EXPECT_STREQ(Compose(1).c_str(), "Non");
    FillStore(store(), {Url("http://a.example/", "A")});
    ASSERT_EQ(Compose(1), "http://a.example/\r\n");
    RemoveAt(store(), 0);
    const char* before = view().displayText;
    EXPECT_EQ(RebuildViewText(store(), view()), before);
    EXPECT_STREQ(before, "http://a.example/\r\n");
}

TEST_F(ComposedTextTest, UrlsAmongTextsInHistoryOrder) {
    FillStore(store(),
              {Url("http://u0.example/", "T0"), Text("t1"), Url("http://u2.example/", "T2"), Text("t3"),
               OtherKind("http://odd.example/", 7), Url("http://u5.example/", "T5"), Text("t6")});
    EXPECT_EQ(Compose(1), "http://u0.example/\r\nhttp://u2.example/\r\nhttp://u5.example/\r\n");
    std::string mode2 = Compose(2);
    EXPECT_EQ(mode2, "[Web Page] - T0\r\nhttp://u0.example/\r\n\r\n"
                     "[Web Page] - T2\r\nhttp://u2.example/\r\n\r\n"
                     "[Web Page] - T5\r\nhttp://u5.example/\r\n\r\n");
    std::string mode4 = Compose(4);
    EXPECT_EQ(mode4.find("odd"), std::string::npos);
    EXPECT_EQ(mode4.find("[Text] - 2 Byte\r\nt1\r\n"), mode4.find("[Text]"));
    EXPECT_LT(mode4.find("t1"), mode4.find("u2"));
    EXPECT_LT(mode4.find("t3"), mode4.find("u5"));
    EXPECT_LT(mode4.find("u5"), mode4.find("t6"));
}

TEST_F(ComposedTextTest, SizedExactlyAndOwnedByTheView) {
    // Japanese titles are Shift_JIS bytes; the buffer holds exactly length + 1 bytes.
    FillStore(store(), {Url("http://jp.example/", "日本語のタイトル"), Text(std::string(1000, 'x'))});
    view().displayMode = 4;
    size_t length = WriteViewBlocks(store(), 4, nullptr);
    int owned = view().ownedStrings;
    const char* text = RebuildViewText(store(), view());
    const std::string expected = "[Web Page] - 日本語のタイトル\r\nhttp://jp.example/\r\n" + Hyphens30 +
                                 "\r\n\r\n[Text] - 1000 Byte\r\n" + std::string(1000, 'x') + "\r\n" +
                                 Hyphens30 + "\r\n\r\n";
    EXPECT_EQ(std::string(text), expected);
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(view().ownedStrings, owned); // the old text went, the new one came
    EXPECT_EQ(std::string(text).substr(0, 31), "[Web Page] - 日本語のタイトル\r\n");
}

} // namespace
