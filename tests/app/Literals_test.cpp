// The compiler must turn every literal into Shift_JIS (code page 932) bytes; a lost
// execution-charset flag fails here before it garbles the program's texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Hex(const char* s) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
        if (!out.empty()) {
            out += ' ';
        }
        out += digits[*p >> 4];
        out += digits[*p & 15];
    }
    return out;
}

} // namespace

TEST(Literals, AreShiftJisBytes) {
    EXPECT_EQ(Hex("ページタイトル不明"), "83 79 81 5B 83 57 83 5E 83 43 83 67 83 8B 95 73 96 BE");
    // The 15-byte face name; its full-width space-free form is what fonts are looked up by.
    EXPECT_EQ(Hex("ＭＳ Ｐゴシック"), "82 6C 82 72 20 82 6F 83 53 83 56 83 62 83 4E");
    EXPECT_EQ(std::strlen("ＭＳ Ｐゴシック"), 15u);
    // Trail byte 0x5C, the classic victim of a source saved in the wrong encoding.
    EXPECT_EQ(Hex("表示更新"), "95 5C 8E A6 8D 58 90 56");
    EXPECT_EQ(Hex("製作者　"), "90 BB 8D EC 8E D2 81 40");
}
