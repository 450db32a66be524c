// The entries: 128 slots (slot 0 the newest, at most 127 live), each with its content, title,
// kind and serial. How they are shown lives in ui/ViewState.h. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

// Kind of an entry. New entries only get Url or Text; any other value can come from the
// history file and is carried along unchanged (the enum has a fixed underlying type, so every
// int32_t value is a valid EntryKind).
enum class EntryKind : int32_t { Url = 1, Text = 2 };

constexpr int HistoryCapacity = 128;                // slots 0..127 are used
constexpr int MaxLiveEntries = HistoryCapacity - 1; // slot 127 is the reserve slot
constexpr int SlotArraySize = HistoryCapacity + 1;  // element 128 is never touched

// Read-only view of one slot.
struct HistoryEntry {
    const char* content;
    const char* title;
    EntryKind kind;
    uint32_t serial; // identity that stays with the entry while it moves between slots
};

struct HistoryStore {
    char* content[SlotArraySize];
    char* title[SlotArraySize];
    EntryKind kind[SlotArraySize];
    uint32_t serial[SlotArraySize];
    int32_t count;

    uint32_t nextSerial;  // next identity to hand out; 0 is never used
    int32_t ownedStrings; // strings currently allocated by the store (leak checks)
    uint32_t revision;    // counts every change to the entries, so a saver can tell it has one
};

// Clears every slot to what an absent history file gives: no entries.
void InitEmptyStore(HistoryStore& store);

// Copies text (len bytes, no terminator needed) into a new store-owned string of exactly len + 1
// bytes; null when the allocation fails. StoreFreeString releases one such string (null is fine).
char* StoreCopyString(HistoryStore& store, const char* text, size_t len);
void StoreFreeString(HistoryStore& store, char* text);
// A new store-owned string of len + 1 zero bytes, to be filled in place; null when out of memory.
char* StoreAllocString(HistoryStore& store, size_t len);

// Puts a new entry at slot 0. At 127 live entries the reserve slot's strings are released and
// the oldest live entry moves into the reserve slot. Returns 1, or 0 when a copy could not be
// allocated; the store is then unchanged.
int InsertAtTop(HistoryStore& store, const char* content, EntryKind kind, const char* title);
void PromoteToTop(HistoryStore& store, int slot); // 0 <= slot < count
void RemoveAt(HistoryStore& store, int slot);     // 0 <= slot < count
int ShouldPromote(int slot);                      // 1 when slot > 4 (not among the five newest)
HistoryEntry EntryAt(const HistoryStore& store, int slot);

// Slot of the live entry with this serial, or -1 when it has left the live range.
int FindSerial(const HistoryStore& store, uint32_t serial);

// Replaces the title of the live entry with this serial, wherever it has moved. Returns 1 when
// the title was replaced; 0 when the entry has left the live range or the copy could not be
// allocated (the old title then stays).
int SetEntryTitle(HistoryStore& store, uint32_t serial, const char* title);

// Puts the live entries of older below the store's own, in their order, until 127 are live.
// An entry whose content equals one of the store's own entries (compare gives 0) is left out.
// Returns the number of entries added (each with a new serial), or -1 when a copy could not be
// allocated; the store is then unchanged. older is left as it was. leftOut, when given, gets the
// number of older entries that are not the run's own yet found no room.
int MergeOlderEntries(HistoryStore& store, const HistoryStore& older,
                      int (*compare)(const char*, const char*), int* leftOut = nullptr);

// Merges the entries of a history another writer changed: those newer than the first entry both
// have go just above the store's copy of it (below the store's own newer ones, since whose came
// first cannot be told), and the rest below the store's own, as MergeOlderEntries puts them. When
// more than 127 result, the oldest of the store's own go, as any newer entry pushes them out, but
// only entries the other has too, or has pushed out itself (it is full, and most of its entries
// are the store's too): were another of the store's own to go, all of the other's go below instead. leftOut gets the number of the other's entries that found no
// room. With no entry in common this is MergeOlderEntries. Returns the number of entries added,
// or -1 as that does.
int MergeChangedEntries(HistoryStore& store, const HistoryStore& other,
                        int (*compare)(const char*, const char*), int* leftOut);

// Releases every string the store owns (live slots and the pushed-out entry just past the live
// range) and sets count to 0; the equivalent of destroying the store's heap.
void ReleaseStoreStrings(HistoryStore& store);

// The process's one store, used by the Win32 shell. Portable code takes the store as a parameter.
HistoryStore& TheHistory();
