// Reader and writer of the history file's records, and the store filled from or composed into
// them.
//
// A record is the marker line "__ContentsNomber." + number, the kind line, the title line, the
// content (which may hold line breaks), and the end line "__ContensEnd"; every line ends in CR LF.
// Markers are found by comparing bytes with ASCII letter case ignored, so a match may begin on
// any byte, even the trail byte of a double-byte character; the writer escapes on the same rule,
// so whatever it writes reads back.
#include "history/HistoryCodec.h"

#include "base/AsciiSearch.h"

#include <cstdlib>
#include <cstring>

namespace {

// The markers that open and close a record, exactly as they stand in every file.
const char HistoryRecordMarker[] = "__ContentsNomber.";
const char HistoryEndMarker[] = "__ContensEnd";

constexpr size_t RecordMarkerLength = sizeof HistoryRecordMarker - 1;
constexpr size_t EndMarkerLength = sizeof HistoryEndMarker - 1;


// The CR of the first CR LF in [begin, end); null when there is none.
const char* FindCrLf(const char* begin, const char* end) {
    const char* p = begin;
    while (end - p >= 2) {
        const void* hit = std::memchr(p, '\r', static_cast<size_t>(end - p) - 1);
        if (!hit) {
            return nullptr;
        }
        p = static_cast<const char*>(hit);
        if (p[1] == '\n') {
            return p;
        }
        ++p;
    }
    return nullptr;
}

int DigitValue(char c) {
    c = AsciiLower(c);
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return 99;
}

size_t DecimalLength(int32_t value) {
    int64_t v = value;
    size_t n = v < 0 ? 2 : 1;
    for (v = v < 0 ? -v : v; v >= 10; v /= 10) {
        ++n;
    }
    return n;
}

char* PutDecimal(char* out, int32_t value) {
    int64_t v = value;
    if (v < 0) {
        *out++ = '-';
        v = -v;
    }
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    while (n) {
        *out++ = digits[--n];
    }
    return out;
}

char* PutCrLf(char* out) {
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

// The reader ends a title at its first CR LF: a blank in place of each such CR keeps every
// other byte, and a CR or LF is never part of a double-byte character.
char* PutTitle(char* out, const char* title, size_t length) {
    if (length) {
        std::memcpy(out, title, length);
    }
    for (size_t i = 0; i + 1 < length; ++i) {
        if (out[i] == '\r' && out[i + 1] == '\n') {
            out[i] = ' ';
        }
    }
    return out + length;
}

// The reader ends a content at its first end marker. Changing the marker's second "_" breaks
// the match with one byte; that byte always starts a character (the first "_" is never a lead
// byte), so no double-byte character changes. Matches cannot overlap, and one cannot run into
// the CR LF that follows the content, since the marker holds neither CR nor LF.
char* PutContent(char* out, const char* content, size_t length) {
    if (length) {
        std::memcpy(out, content, length);
    }
    const char* end = out + length;
    for (const char* p = out; (p = FindIgnoringAsciiCase(p, end, HistoryEndMarker, EndMarkerLength)) != nullptr;
         p += EndMarkerLength) {
        out[p - out + 1] = '-';
    }
    return out + length;
}

} // namespace

// A record cut short (no CR LF after the marker, the kind or the title line, or no end marker
// after the content) yields nothing and ends the reading: every search runs to the end of the
// data, so no complete record can follow it. A record with fewer than two bytes between its
// title line and its end marker has no place for its content's closing CR LF; it is skipped
// and reading goes on after its end marker. Either way the result is incomplete, so the caller
// keeps the file's bytes.
//
// A record spans its marker to the CR LF after its end marker (none at the very end of the
// text): the save writes each of its lines again, so a number, a kind line or a marker's letter
// case written its own way loses nothing. Any other byte would be dropped by the save, so it
// makes the result incomplete: bytes before the first marker, between an end line and the next
// marker, after the last end line, after the last record taken, a zero byte and all after it,
// and the two bytes before an end marker when they are not the CR LF the save puts there.
HistoryReadResult ReadHistoryRecords(const char* data, size_t size, HistoryRecord* records, int maxRecords) {
    HistoryReadResult result{0, 1};
    // Text ends at its first zero byte, as it always did for this file.
    const void* zero = size ? std::memchr(data, 0, size) : nullptr;
    const char* const end = zero ? static_cast<const char*>(zero) : data + size;
    const char* cursor = data;
    const char* covered = data; // just past the last record read, end line and all
    bool cutShort = false;

    while (result.records < maxRecords && cursor < end) {
        const char* marker = FindIgnoringAsciiCase(cursor, end, HistoryRecordMarker, RecordMarkerLength);
        if (!marker) {
            break;
        }
        if (marker != covered) {
            result.complete = 0;
        }
        // The rest of the marker line, the record's number, is not used.
        const char* markerLineEnd = FindCrLf(marker + RecordMarkerLength, end);
        const char* kindLine = markerLineEnd ? markerLineEnd + 2 : nullptr;
        const char* kindEnd = kindLine ? FindCrLf(kindLine, end) : nullptr;
        const char* title = kindEnd ? kindEnd + 2 : nullptr;
        const char* titleEnd = title ? FindCrLf(title, end) : nullptr;
        const char* content = titleEnd ? titleEnd + 2 : nullptr;
        const char* endMarker =
            content ? FindIgnoringAsciiCase(content, end, HistoryEndMarker, EndMarkerLength) : nullptr;
        if (!endMarker) {
            cutShort = true;
            break;
        }
        covered = endMarker + EndMarkerLength;
        if (end - covered >= 2 && covered[0] == '\r' && covered[1] == '\n') {
            covered += 2;
        }
        if (endMarker - content < 2) {
            result.complete = 0;
            cursor = covered;
            continue;
        }
        if (endMarker[-2] != '\r' || endMarker[-1] != '\n') {
            result.complete = 0;
        }
        HistoryRecord& r = records[result.records++];
        r.kind = ParseKindLine(kindLine, static_cast<size_t>(kindEnd - kindLine));
        r.title = title;
        r.titleLength = static_cast<size_t>(titleEnd - title);
        r.content = content;
        r.contentLength = static_cast<size_t>(endMarker - 2 - content);
        // The next search starts on the byte just before the end marker.
        cursor = endMarker - 1;
    }

    if (cutShort || covered != data + size) {
        result.complete = 0;
    }
    return result;
}

int32_t ParseKindLine(const char* text, size_t length) {
    constexpr uint64_t Int32Max = 2147483647u;
    if (length == 0) {
        return 0;
    }
    if (text[0] == '&') {
        const char letter = length > 1 ? AsciiLower(text[1]) : '\0';
        const int base = letter == 'h' ? 16 : letter == 'o' ? 8 : 0;
        if (!base) {
            return 0;
        }
        uint64_t value = 0;
        for (size_t i = 2; i < length; ++i) {
            const int digit = DigitValue(text[i]);
            if (digit >= base) {
                break;
            }
            value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
            if (value > Int32Max) {
                return 0; // more digits only make it larger
            }
        }
        return static_cast<int32_t>(value);
    }

    size_t i = 0;
    const bool negative = text[0] == '-';
    if (negative) {
        ++i;
    }
    const size_t firstDigit = i;
    // Saturates just above the largest magnitude that can still round into range.
    constexpr uint64_t TooLarge = Int32Max + 2;
    uint64_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < TooLarge) {
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
        }
    }
    if (i == firstDigit) {
        return 0; // no digit before a "." or anything else
    }
    if (i < length && text[i] == '.') {
        ++i;
        if (i < length && text[i] >= '0' && text[i] <= '9') {
            const int first = text[i] - '0';
            bool restNonZero = false;
            for (++i; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
                restNonZero = restNonZero || text[i] != '0';
            }
            const bool up = first > 5 || (first == 5 && (restNonZero || value % 2 == 1));
            if (up && value < TooLarge) {
                ++value;
            }
        }
    }
    if (negative) {
        return value <= Int32Max + 1 ? static_cast<int32_t>(-static_cast<int64_t>(value)) : 0;
    }
    return value <= Int32Max ? static_cast<int32_t>(value) : 0;
}

size_t HistoryTextLength(const HistoryRecord* records, int count) {
    // Marker line, kind line, title line, content and its CR LF, end line.
    size_t total = 0;
    for (int i = 0; i < count; ++i) {
        const HistoryRecord& r = records[i];
        total += RecordMarkerLength + DecimalLength(i) + 2 + DecimalLength(r.kind) + 2 + r.titleLength + 2 +
                 r.contentLength + 2 + EndMarkerLength + 2;
    }
    return total;
}

void FormatHistoryRecords(const HistoryRecord* records, int count, char* out) {
    for (int i = 0; i < count; ++i) {
        const HistoryRecord& r = records[i];
        std::memcpy(out, HistoryRecordMarker, RecordMarkerLength);
        out = PutCrLf(PutDecimal(out + RecordMarkerLength, i));
        out = PutCrLf(PutDecimal(out, r.kind));
        out = PutCrLf(PutTitle(out, r.title, r.titleLength));
        out = PutCrLf(PutContent(out, r.content, r.contentLength));
        std::memcpy(out, HistoryEndMarker, EndMarkerLength);
        out = PutCrLf(out + EndMarkerLength);
    }
}

HistoryText::~HistoryText() {
    std::free(data);
}

int EncodeStore(const HistoryStore& store, HistoryText& text) {
    HistoryRecord records[HistoryCapacity];
    const int count = store.count < MaxLiveEntries ? store.count : MaxLiveEntries;
    for (int i = 0; i < count; ++i) {
        HistoryEntry e = EntryAt(store, i);
        records[i] = HistoryRecord{e.title, std::strlen(e.title), e.content, std::strlen(e.content),
                                   static_cast<int32_t>(e.kind)};
    }
    const size_t size = HistoryTextLength(records, count);
    char* data = static_cast<char*>(std::malloc(size + 1));
    if (!data) {
        return 0;
    }
    FormatHistoryRecords(records, count, data);
    data[size] = '\0';
    std::free(text.data);
    text.data = data;
    text.size = size;
    return 1;
}

HistoryLoadResult LoadStoreFromText(HistoryStore& store, const char* data, size_t size) {
    InitEmptyStore(store);
    HistoryRecord records[HistoryCapacity];
    const HistoryReadResult read = ReadHistoryRecords(data, size, records, HistoryCapacity);
    // A 128th record is read into the reserve slot, which no save writes.
    HistoryLoadResult result{read.records, read.records <= MaxLiveEntries ? read.complete : 0};

    int filled = 0;
    for (; filled < read.records; ++filled) {
        const HistoryRecord& r = records[filled];
        char* title = StoreCopyString(store, r.title, r.titleLength);
        char* content = title ? StoreCopyString(store, r.content, r.contentLength) : nullptr;
        if (!content) {
            StoreFreeString(store, title);
            result.complete = 0;
            break;
        }
        store.title[filled] = title;
        store.content[filled] = content;
        store.kind[filled] = static_cast<EntryKind>(r.kind);
        store.serial[filled] = store.nextSerial++;
    }
    store.count = filled < MaxLiveEntries ? filled : MaxLiveEntries;
    return result;
}
