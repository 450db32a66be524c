// Test seams of base, for tests only: the program never calls them.
#pragma once

// Failure injection for the string allocator, so tests can see what a failed allocation leaves
// behind: the next `succeed` allocations work as usual and the `fail` after them return null;
// FailTextAllocations(0, 0) turns injection off.
void FailTextAllocations(int succeed, int fail);
