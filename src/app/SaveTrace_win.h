// The debug line of a save that failed, for whoever looks with a debugger or DebugView.
#pragma once

#include "history/SavePlan.h"

// Writes one OutputDebugStringA line with the thread's last error when result is
// HistoryWrite::Failed; nothing otherwise. Call it right after the write.
void TraceSave(HistoryWrite result);
