// Which of the clipboard's text formats a capture reads, and how much of a UTF-16 text it
// converts. Portable: no <windows.h>; the format numbers are the system's fixed ones.
#pragma once

#include <cstddef>

enum class TextSource {
    None,    // not a text format this program reads (CF_OEMTEXT, CF_LOCALE, anything else)
    Ansi,    // code page bytes, read as they are
    Unicode, // UTF-16, converted by the program itself
};

// What a format in the clipboard's enumeration order offers (CF_TEXT is 1, CF_UNICODETEXT 13). The first format that is not None
// is the one the copying program placed: the system lists the formats it synthesizes after them,
// and a synthesized text went through the code page of whatever CF_LOCALE says.
TextSource TextSourceOf(unsigned format);

// The program's texts are in code page 932. On a system whose ANSI code page is 932 the placed
// format is read, whatever CF_LOCALE says: the system puts the keyboard's language there, and an
// English layout on a Japanese system still copies Shift_JIS. Elsewhere CF_TEXT is Shift_JIS
// only when CF_LOCALE's ANSI code page (localeCodePage, 0 without CF_LOCALE) is 932; any other
// CF_TEXT is read as the CF_UNICODETEXT the system makes from it, and converted.
TextSource TextSourceToRead(TextSource placed, unsigned systemCodePage, unsigned localeCodePage);

// The UTF-16 units of a CF_UNICODETEXT block (little-endian bytes, blockBytes of them) worth
// converting for a read of at most capacity - 2 bytes: up to the first zero unit and never past
// the block, and no more than cover capacity bytes once converted (each unit gives at least half
// a byte), so that a huge text costs no more than a short one. A high surrogate that the bound
// would part from its low surrogate is left out too.
size_t WideUnitsToConvert(const unsigned char* block, size_t blockBytes, int capacity);
