// The bytes of the history file "CWHistry.txt" read into records and written from them, and
// the store filled from or composed into those bytes. Portable: the Win32 file layer only moves
// the bytes.
#pragma once

#include "history/HistoryStore.h"

#include <cstddef>
#include <cstdint>

// One record: views into the bytes it was read from (or into the store's strings), not copies.
struct HistoryRecord {
    const char* title;
    size_t titleLength;
    const char* content;
    size_t contentLength;
    int32_t kind;
};

struct HistoryReadResult {
    int records;  // records taken, in file order
    int complete; // 1 when every byte of the data was read into a record; 0: keep the file
};

// Reads at most maxRecords records from data. Never reads outside data[0..size).
// complete is 0 when a record was cut short or damaged (a content not closed by CR LF before
// its end marker included), or when any byte of data lies outside the records taken: before the
// first marker, between an end line and the next marker, after the last end line (records past
// maxRecords too), or from a zero byte on. A marker's number, a kind line and the markers'
// letter case belong to their record.
HistoryReadResult ReadHistoryRecords(const char* data, size_t size, HistoryRecord* records, int maxRecords);

// The number on a kind line (without its CR LF): "&H" hexadecimal, "&O" octal, else an optional
// "-", decimal digits and an optional fraction, rounded half to even; anything else, and any
// result outside the signed 32-bit range, gives 0.
int32_t ParseKindLine(const char* text, size_t length);

// Exact byte length of the file text for these records.
size_t HistoryTextLength(const HistoryRecord* records, int count);

// Writes the file text (HistoryTextLength bytes, no terminator) to out. Text that would not read
// back is altered here, one byte per occurrence: the CR of every CR LF in a title becomes a
// blank, and in a content the second byte of every "__ContensEnd" (any letter case) becomes "-".
void FormatHistoryRecords(const HistoryRecord* records, int count, char* out);

// Owns a file text (malloc); data is never null once EncodeStore has filled it.
struct HistoryText {
    char* data = nullptr;
    size_t size = 0;

    HistoryText() = default;
    HistoryText(const HistoryText&) = delete;
    HistoryText& operator=(const HistoryText&) = delete;
    ~HistoryText();
};

// The file text of the store's live entries, slot 0 first. Returns 0 when out of memory.
int EncodeStore(const HistoryStore& store, HistoryText& text);

struct HistoryLoadResult {
    int records;  // records read from the text (at most HistoryCapacity)
    int complete; // 1 when a save of the store writes every record of the text
};

// Sets the store up as an absent file leaves it, then fills its slots from the text: count is
// the number of records up to 127, and a 128th record sits in the reserve slot, which makes the
// result incomplete, as the reader's losses and a failed allocation do. A failed allocation
// keeps the entries loaded before it.
HistoryLoadResult LoadStoreFromText(HistoryStore& store, const char* data, size_t size);
