// The percent-encoding of an address's bytes from 0x80 up.
#include "base/PercentEncoding.h"

#include <gtest/gtest.h>

namespace {

TEST(PercentEncodeHighBytes, EncodesEveryByteFrom0x80AndNothingElse) {
    // ｱ is B1; 表 is 95 5C: its ASCII trail byte stays as it is.
    EXPECT_EQ(PercentEncodeHighBytes("http://example.jp/ｱ"), "http://example.jp/%B1");
    EXPECT_EQ(PercentEncodeHighBytes("http://a.test/表?q=%20 x"), "http://a.test/%95\\?q=%20 x");
    EXPECT_EQ(PercentEncodeHighBytes("\x80\xFF\x7F"), "%80%FF\x7F");
    EXPECT_EQ(PercentEncodeHighBytes(""), "");
    EXPECT_EQ(PercentEncodeHighBytes(nullptr), "");
}

} // namespace
