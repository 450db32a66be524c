// The exports of nkf32.dll, the Japanese text conversion library the program imports by name.
#pragma once

#include <windows.h>

extern "C" {
// Selects the conversion for the following NkfConvert calls of the process ("s": to Shift_JIS;
// the letters understood are listed in Converter.h, others are ignored). Returns 1.
int WINAPI SetNkfOption(const char* options);
// Converts the zero-terminated input into out (at least 1024 bytes): at most 1023 bytes of whole
// Shift_JIS characters and a terminating zero, whatever the input. out must not overlap in.
void WINAPI NkfConvert(char* out, const char* in);
}
