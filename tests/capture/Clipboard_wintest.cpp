// The clipboard primitives: the bounded, double-byte-safe read of the text the copying program
// placed, and the copy-back's write.
#include "capture/Clipboard_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/AppResources_win.h"
#include "base/ShiftJis.h"
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

// What the read takes from the formats another program placed. CF_LOCALE 0x0409 is what an
// English keyboard layout leaves: the system's own conversions would go through code page 1252.
struct PlacedTextCase {
    const char* name;
    std::vector<PlacedFormat> formats;
    int result;
    const char* text;                // Shift_JIS; null when nothing is read
    const char* elsewhere = nullptr; // the text on a system that is not Japanese, when it differs
};

// Seventy registered formats of some program, then these.
std::vector<PlacedFormat> AfterManyFormats(std::vector<PlacedFormat> last) {
    std::vector<PlacedFormat> formats;
    for (int i = 0; i < 70; ++i) {
        formats.push_back({RegisterClipboardFormatA(("Clipwren Test Format " + std::to_string(i)).c_str()), "x"});
    }
    formats.insert(formats.end(), last.begin(), last.end());
    return formats;
}

const PlacedTextCase PlacedTextCases[] = {
    {"Japanese Unicode text, English keyboard",
     {{CF_UNICODETEXT, Utf16Bytes(L"日本語のテキスト http://127.0.0.1:1/ソ")}, {CF_LOCALE, LocaleBytes(0x0409)}},
     1, "日本語のテキスト http://127.0.0.1:1/ソ"},
    // Elsewhere the bytes are what the system's code page makes of them, as every program there reads
    // them: 1252 has no Shift_JIS, and its ” (94) is the only character 932 has too.
    {"Shift_JIS text of an ANSI program, English keyboard",
     {{CF_TEXT, AnsiBytes("表示ソ能")}, {CF_LOCALE, LocaleBytes(0x0409)}}, 1, "表示ソ能", "?\\???\\\x81\x68\\"},
    {"Shift_JIS text of a Japanese program", {{CF_TEXT, AnsiBytes("表示ソ能")}, {CF_LOCALE, LocaleBytes(0x0411)}},
     1, "表示ソ能"},
    {"no Shift_JIS form, and no best-fit for the yen and not signs",
     {{CF_UNICODETEXT, Utf16Bytes(L"a\u2603b\u00A5c\u00ACd\uFFE5e")}}, 1, "a?b?c?d￥e"},
    {"Unicode placed first", {{CF_UNICODETEXT, Utf16Bytes(L"ユニコード")}, {CF_TEXT, AnsiBytes("ansi")}}, 1,
     "ユニコード"},
    // Elsewhere a CF_TEXT without a Japanese CF_LOCALE is read through CF_UNICODETEXT, here the
    // program's own.
    {"CF_TEXT placed first", {{CF_TEXT, AnsiBytes("ansi")}, {CF_UNICODETEXT, Utf16Bytes(L"ユニコード")}}, 1,
     "ansi", "ユニコード"},
    {"an empty Unicode text", {{CF_UNICODETEXT, Utf16Bytes(L"")}}, 1, ""},
    {"no text format", {{RegisterClipboardFormatA("Clipwren Test Data"), "\1\2"}}, 0, nullptr},
    {"a marked Unicode text",
     {{CF_UNICODETEXT, Utf16Bytes(L"パスワード")}, {RegisterClipboardFormatA("Clipboard Viewer Ignore"), "1"}}, 0,
     nullptr},
    {"a Unicode text refused for the history",
     {{CF_UNICODETEXT, Utf16Bytes(L"secret")},
      {RegisterClipboardFormatA("CanIncludeInClipboardHistory"), std::string(4, '\0')}},
     0, nullptr},
    {"a mark among more formats than one question lists",
     AfterManyFormats({{CF_UNICODETEXT, Utf16Bytes(L"secret")},
                       {RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing"), "1"}}),
     0, nullptr},
    {"a text among more formats than one question lists", AfterManyFormats({{CF_TEXT, AnsiBytes("many")}}), 1,
     "many"},
};

TEST(ClipboardText, ReadsTheTextFormatPlacedFirst) {
    const bool japaneseSystem = GetACP() == 932;
    for (const PlacedTextCase& c : PlacedTextCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PutClipboardFormats(c.formats));
        char buffer[CaptureBufferSize] = "untouched";
        EXPECT_EQ(ReadClipboardText(buffer, CaptureCapacity), c.result);
        const char* text = !japaneseSystem && c.elsewhere ? c.elsewhere : c.text;
        EXPECT_STREQ(buffer, text ? text : "untouched");
    }
}

std::wstring RepeatWide(const wchar_t* piece, size_t times) {
    std::wstring out;
    for (size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

TEST(ClipboardText, LongUnicodeTextIsCutBeforeADoubleByteCharacter) {
    ASSERT_TRUE(PutClipboardUnicode(L"ab" + RepeatWide(L"あ", 600)));
    char buffer[CaptureBufferSize] = {};
    ASSERT_EQ(ReadClipboardText(buffer, CaptureCapacity), 1);
    std::string kept = "ab";
    for (int i = 0; i < 509; ++i) {
        kept += "あ";
    }
    EXPECT_EQ(std::string(buffer), kept);
    EXPECT_EQ(std::string(buffer).size(), 1020u);
}

// Only the start of a long Unicode text is converted; what is kept must be what converting all
// of it would give, wherever the double-byte characters and surrogate pairs fall at the bound.
TEST(ClipboardText, HugeUnicodeTextReadsAsItsWholeConversion) {
    const wchar_t* pieces[] = {L"あ", L"\U0001F600", L"a\U0001F600", L"あa"};
    for (size_t lead = 0; lead < 4; ++lead) {
        for (const wchar_t* piece : pieces) {
            const std::wstring text = std::wstring(lead, L'x') + RepeatWide(piece, 150000);
            SCOPED_TRACE(std::to_string(lead) + " leading units, then a repeated piece of " +
                         std::to_string(std::wcslen(piece)) + " units");
            std::string whole(text.size() * 2 + 1, '\0');
            whole.resize(static_cast<size_t>(WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                                                 static_cast<int>(text.size()), &whole[0],
                                                                 static_cast<int>(whole.size()), "?", nullptr)));
            char expected[CaptureBufferSize] = {};
            CopyCutText(expected, CaptureCapacity, whole.data(), whole.size());

            ASSERT_TRUE(PutClipboardUnicode(text));
            char buffer[CaptureBufferSize] = {};
            ASSERT_EQ(ReadClipboardText(buffer, CaptureCapacity), 1);
            const std::string read = buffer;
            const std::string wanted = expected;
            const auto differ = std::mismatch(read.begin(), read.end(), wanted.begin(), wanted.end());
            EXPECT_EQ(read, wanted) << "first difference at byte " << (differ.first - read.begin()) << " of "
                                    << read.size() << " and " << wanted.size();
            EXPECT_GE(read.size(), static_cast<size_t>(MaxCapturedBytes - 1));
        }
    }
}

// Holds an English keyboard layout active on this thread for the scope, where the system lets
// it (Wine keeps the Japanese one).
class EnglishKeyboard {
public:
    EnglishKeyboard() : previous_(GetKeyboardLayout(0)) {
        if (HKL english = LoadKeyboardLayoutA("00000409", 0)) {
            ActivateKeyboardLayout(english, 0);
        }
    }
    ~EnglishKeyboard() { ActivateKeyboardLayout(previous_, 0); }
    EnglishKeyboard(const EnglishKeyboard&) = delete;
    EnglishKeyboard& operator=(const EnglishKeyboard&) = delete;

private:
    HKL previous_;
};

TEST(ClipboardText, CopyBackPlacesUnicodeTextFirstWithTheJapaneseLanguage) {
    const char text[] = "日本語のページ http://127.0.0.1:1/ソ表 ￥";
    {
        EnglishKeyboard keyboard;
        ASSERT_EQ(WriteClipboardText(text), 1);
    }
    const std::vector<UINT> formats = ClipboardFormatsNow();
    const auto firstText = std::find_if(formats.begin(), formats.end(),
                                        [](UINT f) { return f == CF_TEXT || f == CF_UNICODETEXT; });
    ASSERT_NE(firstText, formats.end());
    EXPECT_EQ(*firstText, static_cast<UINT>(CF_UNICODETEXT));
    EXPECT_EQ(ClipboardUnicodeNow(), L"日本語のページ http://127.0.0.1:1/ソ表 ￥");
    EXPECT_EQ(ClipboardTextNow(), text);
    EXPECT_EQ(ClipboardBytesNow(CF_LOCALE).substr(0, sizeof(LCID)), LocaleBytes(0x0411));
    // And the capture takes it back as it was written.
    char buffer[CaptureBufferSize] = {};
    ASSERT_EQ(ReadClipboardText(buffer, CaptureCapacity), 1);
    EXPECT_STREQ(buffer, text);
}

// Another program that has the clipboard open, writing it, as programs do without a window.
struct Writer {
    HANDLE opened;
    HANDLE go;
    BOOL emptied;
    BOOL placed;

    static DWORD WINAPI Run(void* parameter) {
        Writer& self = *static_cast<Writer*>(parameter);
        if (!OpenClipboard(nullptr)) {
            SetEvent(self.opened);
            return 0;
        }
        SetEvent(self.opened);
        WaitForSingleObject(self.go, 10000);
        self.emptied = EmptyClipboard();
        const char text[] = "http://example.com/written";
        self.placed = SetClipboardData(CF_TEXT, BlockOf(text, sizeof text)) != nullptr;
        CloseClipboard();
        return 0;
    }
};

// The capture never takes the clipboard from a program in the middle of writing it: it waits its
// 50 ms and gives up, and that program's write goes through.
TEST(ClipboardText, AReadNeverTakesTheClipboardFromAProgramWritingIt) {
    ASSERT_TRUE(PutClipboard("http://example.com/before"));
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    AppResources().mainWindow = window;
    Writer writer = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr), FALSE,
                     FALSE};
    HANDLE thread = CreateThread(nullptr, 0, Writer::Run, &writer, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(writer.opened, 10000);
    char buffer[CaptureBufferSize] = {};
    EXPECT_EQ(ReadClipboardText(buffer, CaptureCapacity), 0);
    SetEvent(writer.go);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(writer.opened);
    CloseHandle(writer.go);
    EXPECT_TRUE(writer.emptied);
    EXPECT_TRUE(writer.placed);
    EXPECT_EQ(ReadClipboardText(buffer, CaptureCapacity), 1);
    EXPECT_STREQ(buffer, "http://example.com/written");
    AppResources().mainWindow = nullptr;
    DestroyWindow(window);
}

} // namespace
