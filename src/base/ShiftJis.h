// The Shift_JIS (code page 932) byte rules the program applies itself: which bytes open and close
// a double-byte character, which are letters, where a cut may fall, and the letter-case fold.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>

#include "base/AsciiSearch.h"

// 1 for the bytes that open a double-byte character (0x81-0x9F, 0xE0-0xFC).
inline int IsLeadByteCp932(unsigned char b) {
    return ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 1 : 0;
}

// 1 for the bytes that may close one (0x40-0x7E, 0x80-0xFC).
inline int IsTrailByteCp932(unsigned char b) {
    return ((b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC)) ? 1 : 0;
}

// Whether byte b is alphabetic, as IsCharAlphaA answers in code page 932: the ASCII letters and
// half-width katakana with the prolonged sound mark 0xB0 and the voicing marks (0xA6-0xDF); the
// punctuation 0xA1-0xA5 and every lead byte standing alone are not letters.
inline int IsAlphaByteCp932(unsigned char b) {
    return (IsAsciiLetter(b) || (b >= 0xA6 && b <= 0xDF)) ? 1 : 0;
}

// Copies source (up to its zero or sourceSize bytes, whichever comes first) into destination,
// at most capacity - 2 bytes and a terminating zero. A double-byte character that would be split
// by the limit is left out whole. Returns the bytes copied; nothing is written when capacity < 1.
size_t CopyCutText(char* destination, int capacity, const char* source, size_t sourceSize);

// Case-insensitive equality for tests that run without lstrcmpiA: 0 when a and b are equal once
// ASCII letters, full-width Latin letters (82 60-82 79 / 82 81-82 9A), Greek (83 9F-83 B6 /
// 83 BF-83 D6) and Cyrillic (84 40-84 60 / 84 70-84 91) are folded to lower case. Kana and the
// two widths stay different, as with lstrcmpiA in code page 932. Nonzero otherwise.
int CompareFoldCp932(const char* a, const char* b);
