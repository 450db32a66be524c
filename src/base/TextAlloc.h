// The allocator of the program's own strings (entries, the composed text): exactly len + 1 zero
// bytes each, released one by one. Portable. Tests can make allocations fail (BaseTestSeams.h).
#pragma once

#include <cstddef>

// A new string of len + 1 zero bytes; null when out of memory.
char* AllocText(size_t len);
void FreeText(char* text); // null is fine
