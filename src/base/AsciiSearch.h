// ASCII letters and their case, and searching byte strings without regard to it. Portable.
#pragma once

#include <cstddef>

// Whether c (a char or an unsigned char) is an ASCII letter.
inline bool IsAsciiLetter(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The lower-case form of an ASCII letter; every other byte as it is.
inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// 1 when the length bytes at a and b are equal once ASCII letters are folded, else 0.
int SameIgnoringAsciiCase(const char* a, const char* b, size_t length);

// First position in [begin, end) where the length bytes of pattern start, ASCII letter case
// ignored; null when there is none. Every byte position is tried: the patterns searched for
// start with an ASCII byte that is never the trail byte of a Shift_JIS character, and stepping
// by whole characters would misread UTF-8 and EUC-JP.
const char* FindIgnoringAsciiCase(const char* begin, const char* end, const char* pattern, size_t length);
