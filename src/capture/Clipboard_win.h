// The clipboard primitives (CF_TEXT only): what a capture reads and what the copy-back writes.
#pragma once

#include <windows.h>

// Copies at most capacity - 2 bytes of the clipboard's text and a terminating zero into buffer;
// a double-byte character that the limit would split is left out whole. Returns 1 when the
// clipboard held text, else 0: also when it could not be opened within 50 ms, when its memory
// could not be locked, and when the copying program marked the text as not to be monitored.
int ReadClipboardText(char* buffer, int capacity);

// Puts text on the clipboard as CF_TEXT. Returns 1 when it is there, 0 when it is not.
int WriteClipboardText(const char* text);
