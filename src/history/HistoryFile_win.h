// The history file "CWHistry.txt" in the current directory: read at start-up, replaced safely
// whenever the saver writes it, and set aside before a replacement would lose bytes this run has
// not read. When it cannot take the history, history/UnsavedHistory_win.h keeps it. One call at a
// time, of these and of those: the saver never runs two at once, on whichever thread.
#pragma once

#include "history/HistoryCodec.h"
#include "history/HistoryStore.h"
#include "history/SavePlan.h"

// Fills the store from the file (an absent file is an empty history, or the VirtualStore copy
// an older 32-bit run left when there is one). A file another program holds is waited for up to
// 2 s; after that the run starts empty and the file waits to be read (HistoryFileUnread). A file
// that cannot be read completely is copied aside ("CWHistry.kept.txt", then
// "CWHistry.kept-2.txt", ...) before this run first replaces it.
void LoadHistory(HistoryStore& store);

// True while CWHistry.txt has not been read by this run: it is then never replaced.
bool HistoryFileUnread();

// Tries once, without waiting, to read a file that could not be read at start-up; when it can,
// its entries go below the store's own (MergeOlderEntries with compare) and the file may be
// replaced from then on. Returns 1 when the file no longer waits to be read.
int ReadUnreadHistory(HistoryStore& store, int (*compare)(const char*, const char*));

// Before a write, on the store's thread: a file that another writer changed since this run last
// read or wrote it is read without waiting, and its entries go below the store's own
// (MergeOlderEntries with compare). When some of them find no room, or the file cannot be read
// completely, the write sets it aside first. A file with the bytes this run last wrote, set
// aside or merged is only taken as known. Returns the number of entries merged.
int MergeChangedHistory(HistoryStore& store, int (*compare)(const char*, const char*));

// Writes the text into CWHistry.txt through a temporary file. A file that still changed since
// this run last read or wrote it (between the merge and the write, or with no merge) is copied
// aside first, unless it holds bytes this run already has; the kept names are taken from the
// number after the run's last one. A replacement that another program holds up is tried again
// for about a second. On any failure the history file is as it was; when every kept name is
// taken, the file is replaced all the same (TakeKeptNamesRanOut). After a write, this run's
// unsaved file has served its purpose and is removed.
HistoryWrite WriteHistoryText(const HistoryText& text);

// True once after a write found every kept name taken and replaced the file without a copy.
bool TakeKeptNamesRanOut();

// The end gives up on a write that outlived its wait: from then on that thread changes neither
// what this run knows of CWHistry.txt nor this run's unsaved file, which the end takes anew. The
// call takes a lock that no write holds across disk I/O, so it never waits for the disk.
void AbandonWritesOfThread(unsigned long threadId);

// Writes the live entries to the file, then releases every string.
void SaveHistory(HistoryStore& store);
