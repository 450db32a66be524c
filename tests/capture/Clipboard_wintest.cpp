// The clipboard primitives: the bounded, double-byte-safe read and the copy-back's write.
#include "capture/Clipboard_win.h"

#include <gtest/gtest.h>

#include "capture/CaptureDecision.h"
#include "support/ClipboardAccess_win.h"

namespace {

TEST(ClipboardText, WriteAndReadRoundTripShiftJis) {
    const char text[] = "表示 http://127.0.0.1:1/ソ";
    EXPECT_EQ(WriteClipboardText(text), 1);
    EXPECT_EQ(ClipboardTextNow(), text);
    char buffer[CaptureBufferSize] = {};
    EXPECT_EQ(ReadClipboardText(buffer, CaptureCapacity), 1);
    EXPECT_STREQ(buffer, text);
    // A small capacity cuts before the double-byte character it would split.
    char small[5];
    EXPECT_EQ(ReadClipboardText(small, sizeof small), 1);
    EXPECT_STREQ(small, "表");
    EXPECT_EQ(WriteClipboardText(""), 1);
    EXPECT_EQ(ClipboardTextNow(), "");
}

} // namespace
