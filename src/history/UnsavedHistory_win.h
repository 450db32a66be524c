// This run's unsaved file: where its history goes when the history file cannot take it, beside
// the history or in the user's local application data.
#pragma once

#include <windows.h>

#include "history/HistoryCodec.h"

// Keeps the text in this run's unsaved file, a visible file beside the history:
// "CWHistry.unsaved.txt", else "CWHistry.unsaved-2.txt", "-3" and on, whichever is free; where that folder refuses, in a "Clipwren" folder in the user's local application
// data. Later calls rewrite the same file. Returns 1 when the text is kept.
int KeepUnsavedHistory(const HistoryText& text);

// The full path of this run's unsaved file; empty when it has none.
const char* UnsavedHistoryPath();

// A run starts without an unsaved file.
void ForgetUnsavedHistory();

// The history file holds this run's history: the unsaved file, only an older copy now, is deleted.
void RemoveUnsavedHistory();

// The user's local application data folder into out. The environment names it on every system
// that has one; the shell is asked only where it does not, and is loaded for that, so that a run
// which never needs it never loads it.
bool LocalAppDataFolder(char (&out)[MAX_PATH]);
