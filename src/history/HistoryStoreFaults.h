// Failure injection for the store's string allocations, so tests can see what a failed
// allocation leaves behind. Not used by the program.
#pragma once

// The next `succeed` allocations work as usual and the `fail` after them return null;
// FailStoreAllocations(0, 0) turns injection off.
void FailStoreAllocations(int succeed, int fail);
