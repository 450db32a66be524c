// The declared encoding of a page: byte order mark, header and <meta>, their precedence, the
// names of the four encodings and the 1024-byte window.
#include "web/DeclaredCharset.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Option(const char* contentType, const std::string& body) {
    return DeclaredNkfOption(contentType, body.data(), body.size());
}

std::string Page(const std::string& head) {
    return "<!DOCTYPE html>\n<html><head>" + head + "<title>\xE6\x97\xA5</title></head><body></body></html>";
}

struct Case {
    const char* what;
    const char* contentType;
    std::string body;
    const char* option;
};

} // namespace

TEST(DeclaredCharset, HeaderMetaAndByteOrderMarkInBrowsersOrder) {
    const std::string bom = "\xEF\xBB\xBF";
    static const char kZeroFirst[] = "<head>\0<meta charset=euc-jp>";
    const Case cases[] = {
        {"header Shift_JIS", "text/html; charset=Shift_JIS", Page(""), "sS"},
        {"header EUC-JP", "text/html;charset=euc-jp", Page(""), "sE"},
        {"header ISO-2022-JP", "text/html; charset=ISO-2022-JP", Page(""), "sJ"},
        {"header UTF-8", "text/html; charset=utf-8", Page(""), "sW"},
        {"meta charset Shift_JIS", nullptr, Page("<meta charset=\"shift_jis\">"), "sS"},
        {"meta http-equiv EUC-JP", "", Page("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">"), "sE"},
        {"meta ISO-2022-JP unquoted", "text/html",
         Page("<META HTTP-EQUIV=content-type CONTENT='text/html;charset=iso-2022-jp'>"), "sJ"},
        {"meta UTF-8 after the title", nullptr, Page("") + "<meta charset=utf-8>", "sW"},
        {"header beats meta", "text/html; charset=Shift_JIS", Page("<meta charset=\"euc-jp\">"), "sS"},
        {"byte order mark beats header", "text/html; charset=Shift_JIS", bom + Page(""), "sW"},
        {"byte order mark beats meta", nullptr, bom + Page("<meta charset=\"euc-jp\">"), "sW"},
        {"ISO-8859-1 header leaves meta", "text/html; charset=ISO-8859-1", Page("<meta charset=\"EUC-JP\">"), "sE"},
        {"header without charset", "text/html", Page("<meta charset=\"EUC-JP\">"), "sE"},
        {"nothing declared", "text/html", Page(""), "s"},
        {"another encoding in the header", "text/html; charset=iso-8859-1", Page(""), "s"},
        {"another encoding in meta decides", nullptr, Page("<meta charset=\"windows-1252\"><meta charset=\"euc-jp\">"), "s"},
        {"first meta decides", nullptr, Page("<meta charset=\"utf-8\"><meta charset=\"euc-jp\">"), "sW"},
        {"meta without charset passes", nullptr,
         Page("<meta name=\"viewport\" content=\"width=device-width\"><meta charset=\"euc-jp\">"), "sE"},
        // Spaces, quotes and case.
        {"header spaced and quoted", "text/html ; Charset = \"Windows-31J\" ", Page(""), "sS"},
        {"header quoted string with ';'", "text/html; x=\"a;charset=utf-8\"; charset=euc-jp", Page(""), "sE"},
        {"header first charset", "text/html; charset=sjis; charset=utf-8", Page(""), "sS"},
        {"meta spaced", nullptr, Page("<meta  charset = ' x-euc-jp ' >"), "sE"},
        {"meta on lines", nullptr, Page("<meta\n\tcharset=\"MS_Kanji\"\n/>"), "sS"},
        {"content before http-equiv", nullptr,
         Page("<meta content=\"text/html; CHARSET = 'csISO2022JP'\" http-equiv=\"CONTENT-TYPE\">"), "sJ"},
        {"content label spaced", nullptr, Page("<meta http-equiv=Content-Type content=\"text/html; charset= x-sjis\">"), "sS"},
        {"UTF-8 aliases", nullptr, Page("<meta charset=\"unicode-1-1-utf-8\">"), "sW"},
        {"EUC-JP alias", "text/html; charset=CSEUCPKDFMTJAPANESE", Page(""), "sE"},
        // What is not a declaration.
        {"content without http-equiv", nullptr, Page("<meta content=\"text/html; charset=euc-jp\">"), "s"},
        {"http-equiv of another kind", nullptr, Page("<meta http-equiv=\"refresh\" content=\"0; charset=euc-jp\">"), "s"},
        {"not a meta tag", nullptr, Page("<metadata charset=\"euc-jp\">"), "s"},
        {"meta in a comment", nullptr, Page("<!-- <meta charset=\"euc-jp\"> -->"), "s"},
        {"meta in an attribute value", nullptr, Page("<a title='<meta charset=\"euc-jp\">'>"), "s"},
        {"label with more to it", nullptr, Page("<meta charset=\"utf-8x\">"), "s"},
        {"unclosed quote in content", nullptr, Page("<meta http-equiv=content-type content=\"charset='euc-jp\">"), "s"},
        {"zero byte before meta", nullptr, std::string(kZeroFirst, sizeof kZeroFirst - 1), "s"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Option(c.contentType, c.body), c.option) << c.what;
    }
}

TEST(DeclaredCharset, LooksAtTheFirst1024BytesOnly) {
    const std::string meta = "<meta charset=\"euc-jp\">";
    // The meta tag ending on byte 1024, crossing it, after it.
    for (std::size_t start : {1024 - meta.size(), 1025 - meta.size(), std::size_t{1024}, std::size_t{2000}}) {
        const std::string body = std::string(start, ' ') + meta + Page("");
        EXPECT_EQ(Option(nullptr, body), start + meta.size() <= 1024 ? "sE" : "s") << start;
    }
    // Neither the header nor the byte order mark depends on the window.
    EXPECT_EQ(Option("text/html; charset=euc-jp", std::string(3000, 'x')), "sE");
    EXPECT_EQ(DeclaredNkfOption(nullptr, nullptr, 0), std::string("s"));
    EXPECT_EQ(DeclaredNkfOption("text/html; charset=UTF8", nullptr, 100), std::string("sW"));
}
