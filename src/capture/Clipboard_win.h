// The clipboard primitives: what a capture reads and what the copy-back writes.
#pragma once

#include <windows.h>

// Copies at most capacity - 2 bytes of the clipboard's text and a terminating zero into buffer;
// a double-byte character that the limit would split is left out whole. The text is Shift_JIS
// whatever the system's code page: the one the copying program placed first, CF_TEXT as it is or
// CF_UNICODETEXT converted to code page 932 with "?" for every character that has no exact form
// there; a CF_TEXT that is not Shift_JIS is read through CF_UNICODETEXT (capture/ClipboardText).
// Returns 1 when the clipboard held text, else 0: also when it could not be opened within 50 ms,
// when its memory could not be locked, and when the copying program marked the text as not to be
// monitored.
int ReadClipboardText(char* buffer, int capacity);

// Puts text (Shift_JIS) on the clipboard as CF_UNICODETEXT, CF_TEXT and CF_LOCALE (Japanese,
// whose code page the text is in), so that every program reads it right whatever the system's
// code page and the keyboard language. Returns 1 when CF_TEXT is there, 0 when it is not (the
// clipboard is then left empty); the other two are left out when they cannot be made.
int WriteClipboardText(const char* text);
