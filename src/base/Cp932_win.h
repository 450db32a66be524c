// The program's texts are Shift_JIS (code page 932) whatever the system's ANSI code page: every
// text that reaches the screen, the clipboard or a comparison crosses over here.
#pragma once

#include <windows.h>

#include <string>

// The code page of every byte string of the program, and the locale whose ANSI code page it is.
constexpr UINT ProgramCodePage = 932;
constexpr LCID JapaneseLocale = 0x0411;

// A zero-terminated Shift_JIS text in UTF-16; empty for null. A lead byte without its trail byte
// becomes the code page's default character, as the system's own conversion does.
std::wstring WideFrom(const char* text);

// The same from the system's ANSI code page, for paths: a folder's name is in that code page.
std::wstring WideFromSystem(const char* text);

// units UTF-16 units of text (no zero needed) in Shift_JIS, into out (outBytes bytes, not
// terminated); every character without an exact form in 932 becomes "?", never a look-alike.
// Returns the bytes written, 0 when nothing could be converted. Two bytes for each unit are
// always enough.
int Cp932From(const WCHAR* text, int units, char* out, int outBytes);

// A zero-terminated UTF-16 text in Shift_JIS, whole.
std::string Cp932From(const WCHAR* text);
