// The history saver: the schedule on the window's thread, the disk on a writer thread.
#include "app/Saver_win.h"

#include <string>
#include <utility>

#include "app/SaveTrace_win.h"
#include "base/Guards_win.h"
#include "base/MessageBox_win.h"
#include "base/AppResources_win.h"
#include "base/UiTexts.h"
#include "base/ids.h"
#include "history/EntryCompare_win.h"
#include "history/HistoryCodec.h"
#include "history/HistoryFile_win.h"
#include "history/HistoryStore.h"
#include "history/SavePlan.h"
#include "history/UnsavedHistory_win.h"
#include "ui/ViewState.h"

namespace {

// How long the end waits for a write already on its way; its own retries take about a second,
// so only a disk that no longer answers makes it give up.
constexpr DWORD WriterPatienceMs = 10000;

// One write at a time, of a text the window's thread composed; the store itself never leaves
// the window's thread.
struct Writer {
    KernelHandle thread;
    DWORD threadId;
    KernelHandle wake; // auto-reset: a write, or the stop, waits
    KernelHandle idle; // manual-reset: set while no write is on its way
    // Filled by the window's thread only while idle is set; read by the writer only while not.
    HistoryText text;
    bool toUnsaved; // CWHistry.txt waits to be read: the text goes to the unsaved file
    int entries;    // how many entries the text holds
    HWND notify;
    HistoryWrite result;
    volatile LONG stop;
};
Writer writer;

struct SaverState {
    bool started;       // StartSaving has run: the end has a history to write
    bool periodic;      // writes follow changes (until the end)
    bool timerArmed;
    bool sessionEnded;  // nobody is there to be told any more
    bool tell;          // ReportUnsavedHistory has something to tell
    int lost;           // the entries the end could keep nowhere; 0 when its history is kept
    bool toldNamesFull; // the user has been told that the kept names ran out
    SaveSchedule schedule;
};
SaverState saver;

// While the history file cannot take the history, the unsaved file takes every write in its
// place, so that a crash loses no more than it would with the file.
HistoryWrite Write(const HistoryText& text, bool toUnsaved, int entries) {
    if (toUnsaved) {
        return KeepUnsavedHistory(text) ? HistoryWrite::Written : HistoryWrite::Failed;
    }
    const HistoryWrite result = WriteHistoryText(text);
    TraceSave(result);
    if (PlanEndSave(result, entries, 1).keepUnsaved) {
        KeepUnsavedHistory(text);
    }
    return result;
}

DWORD WINAPI WriterThread(void*) {
    for (;;) {
        WaitForSingleObject(writer.wake.get(), INFINITE);
        if (InterlockedCompareExchange(&writer.stop, 0, 0)) {
            return 0;
        }
        writer.result = Write(writer.text, writer.toUnsaved, writer.entries);
        SetEvent(writer.idle.get());
        PostMessageA(writer.notify, SaveDoneMessage, 0, 0);
    }
}

// Created at the first write, so a run that changes nothing has no thread.
bool EnsureWriter() {
    if (writer.thread.valid()) {
        return true;
    }
    writer.wake.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    writer.idle.Reset(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    if (!writer.wake.valid() || !writer.idle.valid()) {
        return false;
    }
    writer.stop = 0;
    writer.thread.Reset(CreateThread(nullptr, 0, WriterThread, nullptr, 0, &writer.threadId));
    return writer.thread.valid();
}

// True once no write is on its way.
bool WaitForWriter() {
    return !writer.thread.valid() || WaitForSingleObject(writer.idle.get(), WriterPatienceMs) == WAIT_OBJECT_0;
}

void StopWriter() {
    if (!writer.thread.valid()) {
        return;
    }
    InterlockedExchange(&writer.stop, 1);
    SetEvent(writer.wake.get());
    if (WaitForSingleObject(writer.thread.get(), WriterPatienceMs) != WAIT_OBJECT_0) {
        // Stuck on a disk that does not answer: its handles stay open for it, and the end of the
        // process takes it.
        writer.thread.release();
        writer.wake.release();
        writer.idle.release();
        return;
    }
    writer.thread.Close();
    writer.wake.Close();
    writer.idle.Close();
    HistoryText empty;
    std::swap(writer.text.data, empty.data);
    std::swap(writer.text.size, empty.size);
}

// A file that could not be read at start-up is tried again before every write, and one that
// another writer changed is read then too; their entries are merged in and show at the next
// refresh.
void ReadHeldFile(HistoryStore& store) {
    const uint32_t revision = store.revision;
    if (HistoryFileUnread()) {
        ReadUnreadHistory(store, CompareEntryTexts);
    } else {
        MergeChangedHistory(store, CompareEntryTexts);
    }
    if (store.revision != revision) {
        MarkRefresh(TheView(), RefreshMark::Set);
    }
}

// Once a run, and never while the session ends: a write replaced a changed file without keeping
// it, since every kept name was taken.
void TellIfKeptNamesRanOut() {
    if (!TakeKeptNamesRanOut() || saver.toldNamesFull || saver.sessionEnded) {
        return;
    }
    saver.toldNamesFull = true;
    ShowMessageBox(nullptr, KeptNamesFullMessage, ProgramCaption, MB_OK | MB_ICONWARNING);
}

// Composes the text and hands it to the writer thread; written on this thread instead when there
// is no thread to be had, or when the session ends and the write must be done before returning
// (then without a box: one at the end of the session would only hold it up).
void StartWrite(bool sessionEnding = false) {
    HistoryStore& store = TheHistory();
    ReadHeldFile(store);
    HistoryText text;
    const bool composed = EncodeStore(store, text) != 0;
    const bool toUnsaved = HistoryFileUnread();
    NoteSaveStarted(saver.schedule, store.revision, GetTickCount());
    if (!composed) {
        // Out of memory: counted as a failed write, tried again at the next change.
        NoteSaveFinished(saver.schedule, HistoryWrite::Failed);
        return;
    }
    if (sessionEnding || !EnsureWriter()) {
        NoteSaveFinished(saver.schedule, Write(text, toUnsaved, store.count));
        if (!sessionEnding) {
            TellIfKeptNamesRanOut();
        }
        return;
    }
    std::swap(writer.text.data, text.data);
    std::swap(writer.text.size, text.size);
    writer.toUnsaved = toUnsaved;
    writer.entries = store.count;
    writer.notify = MainWindow();
    ResetEvent(writer.idle.get());
    SetEvent(writer.wake.get());
}

// Collects a write on its way, when it comes back within the wait; true once none is on its way.
bool CollectWriter() {
    const bool writerFree = WaitForWriter();
    if (writerFree && saver.schedule.writing) {
        NoteSaveFinished(saver.schedule, writer.result);
    }
    return writerFree;
}

} // namespace

void StartSaving() {
    saver = SaverState{};
    saver.started = true;
    saver.periodic = true;
    InitSaveSchedule(saver.schedule, TheHistory().revision);
}

void SaveSoonIfChanged() {
    if (!saver.periodic) {
        return;
    }
    const SaveDecision decision = DecideSave(saver.schedule, TheHistory().revision, GetTickCount());
    if (decision.step == SaveStep::WriteNow) {
        StopSaveTimers();
        StartWrite();
    } else if (decision.step == SaveStep::WakeLater && !saver.timerArmed) {
        saver.timerArmed = SetTimer(MainWindow(), SaveTimer, decision.delayMs, nullptr) != 0;
    }
}

void OnSaveTimer() {
    StopSaveTimers();
    SaveSoonIfChanged();
}

void OnSaveDone() {
    // A write the end has already collected leaves nothing to do here.
    if (!saver.schedule.writing || !writer.idle.valid() ||
        WaitForSingleObject(writer.idle.get(), 0) != WAIT_OBJECT_0) {
        return;
    }
    NoteSaveFinished(saver.schedule, writer.result);
    SaveSoonIfChanged();
    TellIfKeptNamesRanOut();
}

void StopSaveTimers() {
    KillTimer(MainWindow(), SaveTimer);
    saver.timerArmed = false;
}

void SaveForSessionEnd() {
    if (!saver.started || !saver.periodic) {
        return;
    }
    StopSaveTimers();
    // A writer that does not come back within the wait keeps its write, and the schedule goes on
    // once it has finished.
    if (CollectWriter()) {
        StartWrite(true);
    }
}

void SaveAtEnd(bool sessionEnding) {
    if (!saver.started) {
        return;
    }
    saver.periodic = false;
    saver.sessionEnded = saver.sessionEnded || sessionEnding;
    StopSaveTimers();
    const bool writerFree = CollectWriter();
    // A writer that never came back may still be using the history file: only the unsaved file
    // is safe to write then.
    HistoryStore& store = TheHistory();
    if (writerFree) {
        ReadHeldFile(store);
    } else {
        // Whatever it does when it comes back, it leaves the file the end writes alone.
        AbandonWritesOfThread(writer.threadId);
    }
    // Out of memory even for the text, nothing of this run's can be kept.
    HistoryText text;
    const bool composed = EncodeStore(store, text) != 0;
    const HistoryWrite result = composed && writerFree ? WriteHistoryText(text) : HistoryWrite::Failed;
    const EndSavePlan plan = PlanEndSave(result, store.count, saver.sessionEnded);
    if (plan.keepUnsaved && !(composed && KeepUnsavedHistory(text))) {
        saver.lost = store.count;
    }
    saver.tell = plan.tellUser;
    if (writerFree) {
        StopWriter();
    }
}

void ReportUnsavedHistory() {
    TellIfKeptNamesRanOut();
    if (!saver.tell || saver.sessionEnded) {
        return;
    }
    saver.tell = false;
    if (saver.lost > 0) {
        const std::string text = LostHistoryPrefix + std::to_string(saver.lost) + LostHistorySuffix;
        ShowMessageBox(nullptr, text.c_str(), ProgramCaption, MB_OK | MB_ICONWARNING);
    } else {
        ShowMessageBox(nullptr, UnsavedHistoryMessage, ProgramCaption, MB_OK | MB_ICONWARNING, UnsavedHistoryPath());
    }
}
