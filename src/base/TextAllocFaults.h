// Failure injection for the string allocator, so tests can see what a failed allocation leaves
// behind. Not used by the program.
#pragma once

// The next `succeed` allocations work as usual and the `fail` after them return null;
// FailTextAllocations(0, 0) turns injection off.
void FailTextAllocations(int succeed, int fail);
