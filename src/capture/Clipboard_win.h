// The clipboard primitives: what a capture reads and what the copy-back writes.
#pragma once

#include <windows.h>

// Copies at most capacity - 2 bytes of the clipboard's text and a terminating zero into buffer;
// a double-byte character that the limit would split is left out whole. The text is the one the
// copying program placed: CF_TEXT as it is, or CF_UNICODETEXT converted to the ANSI code page
// with "?" for every character that has no exact form there, whichever the program placed first.
// Returns 1 when the clipboard held text, else 0: also when it could not be opened within 50 ms,
// when its memory could not be locked, and when the copying program marked the text as not to be
// monitored.
int ReadClipboardText(char* buffer, int capacity);

// Puts text (ANSI code page) on the clipboard as CF_UNICODETEXT, CF_TEXT and CF_LOCALE (the
// system's language, whose code page the text is in), so that Unicode programs read it right
// whatever keyboard language is active. Returns 1 when CF_TEXT is there, 0 when it is not (the
// clipboard is then left empty); the other two are left out when they cannot be made.
int WriteClipboardText(const char* text);
