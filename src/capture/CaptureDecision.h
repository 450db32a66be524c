// What one capture does with the clipboard's text: acceptance by display mode, the duplicate
// search, the new entry's kind and title, and the change to the store, all in one step.
// Portable: no <windows.h>; the Windows build passes CompareEntryTexts as the equality test.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/DisplayMode.h"
#include "base/RefreshMark.h"
#include "history/HistoryStore.h"

// Compares two zero-terminated strings; 0 means equal.
using TextCompare = int (*)(const char* a, const char* b);

// The tick's capture buffer and the capacity it passes to the read: at most
// CaptureCapacity - 2 = 1021 bytes of clipboard text are ever seen.
constexpr int CaptureBufferSize = 1028;
constexpr int CaptureCapacity = 1023;
constexpr int MaxCapturedBytes = CaptureCapacity - 2;

// 1 when text may enter the history in this display mode: any text shorter than 1024 bytes with
// DisplayMode::UrlText, otherwise only what IsUrl accepts.
int IsCapturable(int32_t displayMode, const char* text);

// 1 when a live entry's content equals text under compare (every kind alike), else 0. index gets
// the entry's slot when it should be promoted, or -1 when nothing matched or the match is among
// the five newest.
int FindDuplicate(const HistoryStore& store, const char* text, TextCompare compare, int& index);

// Kind of a new entry: Url when IsUrl accepts the text or the mode captures URLs only.
EntryKind NewEntryKind(int32_t displayMode, const char* text);

// Writes "%d Byte" for a text entry of length bytes into buffer (capacity counts the zero).
// Returns the title's length, or 0 when it does not fit (buffer then holds "" if capacity > 0).
int FormatByteTitle(char* buffer, size_t capacity, size_t length);

enum class CaptureAction {
    Nothing,    // no text, or the mode does not accept it: a pending rebuild stands
    Add,        // new entry of `kind` at slot 0
    Promote,    // the entry at `index` moves to slot 0, keeping its kind and title
    KeepNewest, // the text is one of the five newest: no move, a pending rebuild dropped
};

struct CaptureDecision {
    CaptureAction action;
    int index;      // slot to promote, else -1
    EntryKind kind; // kind of the entry to add
};

// text is the clipboard's (cut) text, or null when the clipboard holds none; displayMode says
// what the current text mode takes.
CaptureDecision DecideCapture(const HistoryStore& store, int32_t displayMode, const char* text,
                              TextCompare compare);

// What one capture changed: the view's refresh mark, and the serial of a new address entry
// whose page title is to be fetched (0 when there is none).
struct CaptureResult {
    RefreshMark mark;
    uint32_t titleSerial;
};

// One capture of text (the clipboard's cut text, or null when it holds none): decides and
// carries the decision out. A new address is titled PageTitleFallback until its page's title
// arrives, a new text by its byte count; a promoted entry keeps its kind and title. mark is Set
// when the entries changed, Clear when the text is one of the five newest (a pending rebuild is
// dropped too), Leave otherwise, also when a new entry could not be allocated.
CaptureResult CaptureText(HistoryStore& store, int32_t displayMode, const char* text, TextCompare compare);
