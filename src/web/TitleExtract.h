// Cuts a page's title out of the beginning of its body. Portable: no <windows.h>.
#pragma once

#include <cstddef>

// Only this many bytes at the start of a body are ever looked at.
constexpr int PageHeadBytes = 1024;

// Finds "<title>" in body and "</title>" after it, both without regard to ASCII letter case,
// looking at no more than the first PageHeadBytes of the length bytes and stopping at the first
// zero byte, as a search of a zero-terminated buffer would. The text between the tags is copied
// byte for byte (no trimming, no decoding) into destination, at most capacity - 1 bytes and a
// terminating zero; the cut may fall inside a double-byte character. Returns the byte length
// written: 0 for an empty title, and 0 without touching destination when there is no title or
// capacity is not positive. A start tag with attributes is not a start tag.
int ExtractPageTitle(const char* body, size_t length, char* destination, int capacity);
