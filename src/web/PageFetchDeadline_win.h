// Lets tests shorten the page download deadline (the program itself always uses
// PageFetchDeadlineMs) and see whether downloads given up at the deadline have ended.
#pragma once

// Deadline of the following downloads in milliseconds; 0 restores PageFetchDeadlineMs.
void SetPageFetchDeadlineForTests(unsigned milliseconds);

// Download threads still running, including those whose caller gave up at the deadline.
int PageDownloadsRunningForTests();
