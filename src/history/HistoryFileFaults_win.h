// Failure injection for the history file's steps, so tests can see what each failure leaves
// behind. Not used by the program.
#pragma once

enum class HistoryFileStep { None, Read, KeepOld, CreateTemp, Write, Flush, Move };

// Makes the given step fail on every call until FailHistoryFileStep(HistoryFileStep::None).
void FailHistoryFileStep(HistoryFileStep step);
