// Test seams of web, for tests only: the program always uses PageFetchDeadlineMs.
#pragma once

// Bound of the downloads started from now on, in milliseconds; 0 restores PageFetchDeadlineMs.
// WinINet's per-operation time-outs of those downloads follow it.
void SetPageFetchDeadlineForTests(unsigned milliseconds);
