// The save schedule and the end's plan.
#include "history/SavePlan.h"

// A burst of changes is written at most this often; the first change after a quiet spell at once.
constexpr uint32_t SaveSpacingMs = 1000;

void InitSaveSchedule(SaveSchedule& schedule, uint32_t revision) {
    schedule = SaveSchedule{};
    schedule.savedRevision = revision;
}

SaveDecision DecideSave(const SaveSchedule& schedule, uint32_t revision, uint32_t nowMs) {
    // One write at a time: the one on its way asks again when it ends.
    if (schedule.writing || revision == schedule.savedRevision ||
        (schedule.failed && revision == schedule.failedRevision)) {
        return SaveDecision{SaveStep::Wait, 0};
    }
    if (!schedule.started) {
        return SaveDecision{SaveStep::WriteNow, 0};
    }
    // Unsigned difference: right across the tick's wrap after 49.7 days.
    const uint32_t since = nowMs - schedule.lastStartMs;
    if (since >= SaveSpacingMs) {
        return SaveDecision{SaveStep::WriteNow, 0};
    }
    return SaveDecision{SaveStep::WakeLater, SaveSpacingMs - since};
}

void NoteSaveStarted(SaveSchedule& schedule, uint32_t revision, uint32_t nowMs) {
    schedule.writing = 1;
    schedule.writingRevision = revision;
    schedule.started = 1;
    schedule.lastStartMs = nowMs;
}

void NoteSaveFinished(SaveSchedule& schedule, HistoryWrite result) {
    if (!schedule.writing) {
        return;
    }
    schedule.writing = 0;
    // A read-only file is settled as it is: nothing to try again until the entries change.
    if (result == HistoryWrite::Written || result == HistoryWrite::LeftReadOnly) {
        schedule.savedRevision = schedule.writingRevision;
        schedule.failed = 0;
    } else {
        schedule.failed = 1;
        schedule.failedRevision = schedule.writingRevision;
    }
}

EndSavePlan PlanEndSave(HistoryWrite result, int entries, int sessionEnding) {
    // An empty history has nothing to lose; a read-only file is the user's choice.
    const int keep = (result == HistoryWrite::Failed || result == HistoryWrite::Unread) && entries > 0;
    return EndSavePlan{keep, keep && !sessionEnding};
}
