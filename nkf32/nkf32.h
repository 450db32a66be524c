// The exports of nkf32.dll, the Japanese text conversion library the program imports by name.
#pragma once

#include <windows.h>

extern "C" {
// Selects the conversion for the following NkfConvert calls ("s": to Shift_JIS). Returns 1.
int WINAPI SetNkfOption(const char* options);
// Converts the zero-terminated input into out (at least 1024 bytes), zero-terminated.
void WINAPI NkfConvert(char* out, const char* in);
}
