// The text format a capture reads and the bounded part of a UTF-16 text it converts.
#include "capture/ClipboardText.h"

// The standard clipboard formats a capture cares about (CF_TEXT, CF_UNICODETEXT).
constexpr unsigned AnsiTextFormat = 1;
constexpr unsigned UnicodeTextFormat = 13;

TextSource TextSourceOf(unsigned format) {
    switch (format) {
    case AnsiTextFormat:
        return TextSource::Ansi;
    case UnicodeTextFormat:
        return TextSource::Unicode;
    default:
        return TextSource::None;
    }
}

TextSource TextSourceToRead(TextSource placed, unsigned systemCodePage, unsigned localeCodePage) {
    constexpr unsigned ShiftJisCodePage = 932;
    if (placed != TextSource::Ansi || systemCodePage == ShiftJisCodePage || localeCodePage == ShiftJisCodePage) {
        return placed;
    }
    return TextSource::Unicode;
}

namespace {

unsigned UnitAt(const unsigned char* block, size_t index) {
    return block[2 * index] | (static_cast<unsigned>(block[2 * index + 1]) << 8);
}

bool IsHighSurrogate(unsigned unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

} // namespace

size_t WideUnitsToConvert(const unsigned char* block, size_t blockBytes, int capacity) {
    if (!block || capacity < 1) {
        return 0;
    }
    // Twice the bytes the read may look at, and one more for a trail byte at the limit.
    const size_t bound = 2 * static_cast<size_t>(capacity) + 2;
    const size_t available = blockBytes / 2;
    size_t units = 0;
    while (units < available && units < bound && UnitAt(block, units) != 0) {
        ++units;
    }
    if (units == bound && units < available && IsHighSurrogate(UnitAt(block, units - 1))) {
        --units;
    }
    return units;
}
