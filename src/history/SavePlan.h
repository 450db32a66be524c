// When the history is written: soon after every change to the entries, at most once a second,
// one write at a time; and what the end of a run does when its last write fails. Portable.
#pragma once

#include <cstdint>

// What one write of the history came to.
enum class HistoryWrite {
    Written,      // the file holds the text
    LeftReadOnly, // the user made CWHistry.txt read-only: it is left alone, and nobody is told
    Unread,       // CWHistry.txt could not be read at start-up, so it is not replaced yet
    Failed,       // nothing was replaced (the file held by another program, the folder or disk refusing)
};

struct SaveSchedule {
    uint32_t savedRevision;   // the store's revision that the last finished write holds
    uint32_t failedRevision;  // the revision whose write failed, when failed is 1
    uint32_t writingRevision; // the revision of the write on its way, when writing is 1
    uint32_t lastStartMs;     // when the last write began, when started is 1
    int failed;
    int writing;
    int started;
};

enum class SaveStep {
    Wait,      // nothing to write now, or the write on its way will ask again when it ends
    WriteNow,  // start a write of the current entries
    WakeLater, // a write is due in delayMs
};

struct SaveDecision {
    SaveStep step;
    uint32_t delayMs;
};

// The schedule of a run whose file holds the entries at this revision.
void InitSaveSchedule(SaveSchedule& schedule, uint32_t revision);

// Whether the entries at this revision are to be written at nowMs (a millisecond tick that may
// wrap): a burst of changes at most once a second, the first change after a quiet spell at once.
// A failed revision is written again only once the entries change again.
SaveDecision DecideSave(const SaveSchedule& schedule, uint32_t revision, uint32_t nowMs);

void NoteSaveStarted(SaveSchedule& schedule, uint32_t revision, uint32_t nowMs);
void NoteSaveFinished(SaveSchedule& schedule, HistoryWrite result);

// The end of a run: whether its last write leaves a history that must be kept in an unsaved
// file, and whether the user is told where it went (never while the session ends).
struct EndSavePlan {
    int keepUnsaved;
    int tellUser;
};
EndSavePlan PlanEndSave(HistoryWrite result, int entries, int sessionEnding);
