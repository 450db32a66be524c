// The encoding declaration of a page: byte order mark, Content-Type header, <meta> in the head.
#include "web/DeclaredCharset.h"

#include <cstring>

#include "base/AsciiSearch.h"
#include "web/TitleExtract.h"

namespace {

const char kGuess[] = "s";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// Whether [begin, end) is word (lower-case ASCII) without regard to case.
bool EqualsIgnoringCase(const char* begin, const char* end, const char* word) {
    const std::size_t n = std::strlen(word);
    return static_cast<std::size_t>(end - begin) == n && SameIgnoringAsciiCase(begin, word, n) == 1;
}

bool StartsWithIgnoringCase(const char* p, const char* end, const char* word) {
    const std::size_t n = std::strlen(word);
    return static_cast<std::size_t>(end - p) >= n && EqualsIgnoringCase(p, p + n, word);
}

// A run of text, [begin, end); begin is null when there is none.
struct Span {
    const char* begin = nullptr;
    const char* end = nullptr;
};

// The option for an encoding label, or null when it names none of the four encodings.
const char* OptionForLabel(Span label) {
    const char* begin = label.begin;
    const char* end = label.end;
    while (begin < end && IsSpace(*begin)) {
        ++begin;
    }
    while (end > begin && IsSpace(end[-1])) {
        --end;
    }
    if (end - begin >= 2 && (*begin == '"' || *begin == '\'') && end[-1] == *begin) {
        return OptionForLabel(Span{begin + 1, end - 1});
    }
    struct Label {
        const char* name;
        const char* option;
    };
    static const Label kLabels[] = {
        {"csshiftjis", "sS"},
        {"ms932", "sS"},
        {"ms_kanji", "sS"},
        {"shift-jis", "sS"},
        {"shift_jis", "sS"},
        {"sjis", "sS"},
        {"windows-31j", "sS"},
        {"x-sjis", "sS"},
        {"cseucpkdfmtjapanese", "sE"},
        {"euc-jp", "sE"},
        {"x-euc-jp", "sE"},
        {"csiso2022jp", "sJ"},
        {"iso-2022-jp", "sJ"},
        {"unicode-1-1-utf-8", "sW"},
        {"unicode11utf8", "sW"},
        {"unicode20utf8", "sW"},
        {"utf-8", "sW"},
        {"utf8", "sW"},
        {"x-unicode20utf8", "sW"},
    };
    for (const Label& l : kLabels) {
        if (EqualsIgnoringCase(begin, end, l.name)) {
            return l.option;
        }
    }
    return nullptr;
}

// The charset parameter of a Content-Type value ("text/html; charset=Shift_JIS"): a token or a
// quoted string, the first one given.
Span HeaderCharset(const char* value) {
    const char* p = std::strchr(value, ';');
    while (p != nullptr && *p == ';') {
        ++p;
        const char* name = p;
        while (*p != '\0' && *p != '=' && *p != ';') {
            ++p;
        }
        const char* nameEnd = p;
        while (name < nameEnd && IsSpace(*name)) {
            ++name;
        }
        while (nameEnd > name && IsSpace(nameEnd[-1])) {
            --nameEnd;
        }
        Span parameter;
        if (*p == '=') {
            ++p;
            while (IsSpace(*p)) {
                ++p;
            }
            parameter.begin = p;
            if (*p == '"') {
                // A quoted string may hold ';'; a backslash quotes the next character.
                for (++p; *p != '\0' && *p != '"'; ++p) {
                    if (*p == '\\' && p[1] != '\0') {
                        ++p;
                    }
                }
                if (*p == '"') {
                    ++p;
                }
            }
            while (*p != '\0' && *p != ';') {
                ++p;
            }
            parameter.end = p;
        }
        if (parameter.begin != nullptr && EqualsIgnoringCase(name, nameEnd, "charset")) {
            return parameter;
        }
    }
    return Span{};
}

// The charset named in a <meta> content attribute ("text/html; charset=EUC-JP"), read the way
// browsers do: after the word, spaces, '=' and spaces, a quoted value or one up to a space or ';'.
Span ContentCharset(Span content) {
    const char* p = content.begin;
    const char* end = content.end;
    for (;;) {
        while (p < end && !StartsWithIgnoringCase(p, end, "charset")) {
            ++p;
        }
        if (p == end) {
            return Span{};
        }
        p += 7;
        while (p < end && IsSpace(*p)) {
            ++p;
        }
        if (p < end && *p == '=') {
            break;
        }
    }
    ++p;
    while (p < end && IsSpace(*p)) {
        ++p;
    }
    if (p == end) {
        return Span{};
    }
    if (*p == '"' || *p == '\'') {
        const void* close = std::memchr(p + 1, *p, static_cast<std::size_t>(end - p - 1));
        return close != nullptr ? Span{p + 1, static_cast<const char*>(close)} : Span{};
    }
    const char* value = p;
    while (p < end && !IsSpace(*p) && *p != ';') {
        ++p;
    }
    return Span{value, p};
}

// Reads the markup of a page's head byte by byte, as browsers do before they parse it. Every
// read that runs into the end makes the reader finished: a tag cut off there does not count.
class HeadScanner {
public:
    HeadScanner(const char* begin, const char* end) : p_(begin), end_(end) {}

    // The option of the first <meta> that declares a charset; null when none does.
    const char* FindMetaOption() {
        while (p_ < end_) {
            if (*p_ != '<') {
                ++p_;
            } else if (StartsWithIgnoringCase(p_, end_, "<!--")) {
                // The comment's "-->" may share its dashes with the "<!--".
                p_ += 2;
                while (p_ < end_ && !(*p_ == '>' && p_[-1] == '-' && p_[-2] == '-')) {
                    ++p_;
                }
                Step();
            } else if (StartsWithIgnoringCase(p_, end_, "<meta") && p_ + 5 < end_ &&
                       (IsSpace(p_[5]) || p_[5] == '/')) {
                p_ += 5;
                if (const char* option = ReadMeta()) {
                    return option;
                }
            } else if (p_ + 1 < end_ && (IsAsciiLetter(p_[1]) || (p_[1] == '/' && p_ + 2 < end_ &&
                                                                   IsAsciiLetter(p_[2])))) {
                // Another tag: its attributes are skipped whole, so that a '>' or "<meta" in
                // a quoted value is not taken for markup.
                ++p_;
                while (p_ < end_ && !IsSpace(*p_) && *p_ != '>') {
                    ++p_;
                }
                Attribute a;
                while (ReadAttribute(a)) {
                }
                Step();
            } else if (p_ + 1 < end_ && (p_[1] == '!' || p_[1] == '/' || p_[1] == '?')) {
                while (p_ < end_ && *p_ != '>') {
                    ++p_;
                }
                Step();
            } else {
                ++p_;
            }
        }
        return nullptr;
    }

private:
    struct Attribute {
        Span name;
        Span value;
    };

    bool AtEnd() const { return p_ >= end_; }

    // Past the byte read, unless the end is reached.
    void Step() {
        if (p_ < end_) {
            ++p_;
        }
    }

    void SkipSpaces() {
        while (p_ < end_ && IsSpace(*p_)) {
            ++p_;
        }
    }

    // The next attribute of a tag whose name has been read; false at the tag's '>' (p_ left on
    // it) or at the end.
    bool ReadAttribute(Attribute& a) {
        while (p_ < end_ && (IsSpace(*p_) || *p_ == '/')) {
            ++p_;
        }
        if (AtEnd() || *p_ == '>') {
            return false;
        }
        a = Attribute{};
        a.name.begin = p_;
        while (!AtEnd()) {
            if (*p_ == '=' && p_ != a.name.begin) {
                break;
            }
            if (IsSpace(*p_) || *p_ == '/' || *p_ == '>') {
                break;
            }
            ++p_;
        }
        a.name.end = p_;
        SkipSpaces();
        if (AtEnd()) {
            return false;
        }
        if (*p_ != '=') {
            a.value = Span{p_, p_};
            return true;
        }
        ++p_;
        SkipSpaces();
        if (AtEnd()) {
            return false;
        }
        if (*p_ == '"' || *p_ == '\'') {
            const char quote = *p_++;
            a.value.begin = p_;
            while (p_ < end_ && *p_ != quote) {
                ++p_;
            }
            if (AtEnd()) {
                return false;
            }
            a.value.end = p_++;
            return true;
        }
        a.value.begin = p_;
        while (p_ < end_ && !IsSpace(*p_) && *p_ != '>') {
            ++p_;
        }
        a.value.end = p_;
        return !AtEnd();
    }

    // The attributes of a <meta> after its name. The first of charset and content that names
    // an encoding counts; content only with http-equiv="Content-Type". Null when the tag
    // declares nothing or is cut off by the end.
    const char* ReadMeta() {
        bool gotPragma = false;
        bool needPragma = false;
        bool seenHttpEquiv = false;
        bool seenContent = false;
        bool seenCharset = false;
        Span charset;
        Attribute a;
        while (ReadAttribute(a)) {
            if (EqualsIgnoringCase(a.name.begin, a.name.end, "http-equiv") && !seenHttpEquiv) {
                seenHttpEquiv = true;
                gotPragma = EqualsIgnoringCase(a.value.begin, a.value.end, "content-type");
            } else if (EqualsIgnoringCase(a.name.begin, a.name.end, "content") && !seenContent) {
                seenContent = true;
                if (charset.begin == nullptr) {
                    charset = ContentCharset(a.value);
                    needPragma = charset.begin != nullptr;
                }
            } else if (EqualsIgnoringCase(a.name.begin, a.name.end, "charset") && !seenCharset) {
                seenCharset = true;
                if (charset.begin == nullptr) {
                    charset = a.value;
                    needPragma = false;
                }
            }
        }
        if (AtEnd()) {
            return nullptr;
        }
        ++p_;
        if (charset.begin == nullptr || (needPragma && !gotPragma)) {
            return nullptr;
        }
        const char* option = OptionForLabel(charset);
        return option != nullptr ? option : kGuess;
    }

    const char* p_;
    const char* end_;
};

} // namespace

const char* DeclaredNkfOption(const char* contentType, const char* body, std::size_t length) {
    if (body == nullptr) {
        length = 0;
    }
    if (length > static_cast<std::size_t>(PageHeadBytes)) {
        length = PageHeadBytes;
    }
    const void* zero = length > 0 ? std::memchr(body, '\0', length) : nullptr;
    const char* end = zero != nullptr ? static_cast<const char*>(zero) : body + length;
    if (end - body >= 3 && std::memcmp(body, "\xEF\xBB\xBF", 3) == 0) {
        return "sW";
    }
    if (contentType != nullptr) {
        if (const char* option = OptionForLabel(HeaderCharset(contentType))) {
            return option;
        }
    }
    if (const char* option = HeadScanner(body, end).FindMetaOption()) {
        return option;
    }
    return kGuess;
}
