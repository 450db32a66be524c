// The history file "CWHistry.txt" in the current directory: read once at start-up, written at
// shutdown (and when the Windows session ends).
#pragma once

#include "history/HistoryStore.h"

// Fills the store from the file (an absent file is an empty history). A file that exists but cannot be read completely is copied aside
// ("CWHistry.kept.txt", then "CWHistry.kept-2.txt", ...) before this run first replaces it.
void LoadHistory(HistoryStore& store);

// Writes the live entries to the file, then releases every string. The
// file is replaced only when the new text was written completely; on failure the old one stays.
void SaveHistory(HistoryStore& store);

// Writes the live entries to the file and keeps the store as it is (the session is ending and
// messages may still arrive). Returns 1 when the file was replaced.
int WriteHistoryFile(HistoryStore& store);
