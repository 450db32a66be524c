// Whether a captured text is a web address, by its shape alone.
#pragma once

// 1 when text is at least 10 bytes, starts with "http://" (with case), ends in a letter or
// "/", and holds no line feed; else 0.
int IsUrl(const char* text);
