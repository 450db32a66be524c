// Failure injection for the history file's steps, so tests can see what each failure leaves
// behind. Not used by the program.
#pragma once

enum class HistoryFileStep {
    None,
    Read,
    KeepOld,
    CreateTemp,
    Write,
    Flush,
    Move, // fails as a broken disk would, so it is not tried again
    // Every file this run would create in the history's folder is refused with
    // ERROR_ACCESS_DENIED, as in a folder the user may not write (root under Wine may).
    ReadOnlyFolder,
};

// Makes the given step fail on every call until FailHistoryFileStep(HistoryFileStep::None).
void FailHistoryFileStep(HistoryFileStep step);
