// The history store: fixed slots, newest first, moved by pointer; strings owned one by one.
#include "history/HistoryStore.h"
#include "history/HistoryTestSeams.h"

#include "base/TextAlloc.h"
#include "base/BaseTestSeams.h"

#include <cstring>

namespace {

void CopySlot(HistoryStore& store, int to, int from) {
    store.content[to] = store.content[from];
    store.title[to] = store.title[from];
    store.kind[to] = store.kind[from];
    store.serial[to] = store.serial[from];
}

void ClearSlot(HistoryStore& store, int slot) {
    store.content[slot] = nullptr;
    store.title[slot] = nullptr;
    store.kind[slot] = static_cast<EntryKind>(0);
    store.serial[slot] = 0;
}

} // namespace

void InitEmptyStore(HistoryStore& store) {
    std::memset(&store, 0, sizeof store);
    store.nextSerial = 1;
}

void FailStoreAllocations(int succeed, int fail) {
    FailTextAllocations(succeed, fail);
}

char* StoreCopyString(HistoryStore& store, const char* text, size_t len) {
    char* copy = AllocText(len);
    if (!copy) {
        return nullptr;
    }
    if (len) {
        std::memcpy(copy, text, len);
    }
    ++store.ownedStrings;
    return copy;
}

char* StoreAllocString(HistoryStore& store, size_t len) {
    char* text = AllocText(len);
    if (text) {
        ++store.ownedStrings;
    }
    return text;
}

void StoreFreeString(HistoryStore& store, char* text) {
    if (text) {
        FreeText(text);
        --store.ownedStrings;
    }
}

int InsertAtTop(HistoryStore& store, const char* content, EntryKind kind, const char* title) {
    // Both copies first: a failed allocation must leave the store as it was.
    char* newContent = StoreCopyString(store, content, std::strlen(content));
    char* newTitle = newContent ? StoreCopyString(store, title, std::strlen(title)) : nullptr;
    if (!newTitle) {
        StoreFreeString(store, newContent);
        return 0;
    }
    if (store.count < MaxLiveEntries) {
        ++store.count;
    } else {
        // The reserve slot holds the entry pushed out by the previous insertion at full
        // capacity (or the file's 128th record); it is released now, and only now.
        StoreFreeString(store, store.content[MaxLiveEntries]);
        StoreFreeString(store, store.title[MaxLiveEntries]);
        ClearSlot(store, MaxLiveEntries);
    }
    for (int i = store.count; i >= 1; --i) {
        CopySlot(store, i, i - 1);
    }
    store.content[0] = newContent;
    store.title[0] = newTitle;
    store.kind[0] = kind;
    ++store.revision;
    store.serial[0] = store.nextSerial++;
    if (store.nextSerial == 0) {
        store.nextSerial = 1; // 0 stays "no entry"
    }
    return 1;
}

void PromoteToTop(HistoryStore& store, int slot) {
    if (slot <= 0 || slot >= store.count) {
        return;
    }
    char* keptContent = store.content[slot];
    char* keptTitle = store.title[slot];
    EntryKind keptKind = store.kind[slot];
    uint32_t keptSerial = store.serial[slot];
    for (int i = slot; i >= 1; --i) {
        CopySlot(store, i, i - 1);
    }
    store.content[0] = keptContent;
    store.title[0] = keptTitle;
    store.kind[0] = keptKind;
    store.serial[0] = keptSerial;
    ++store.revision;
}

void RemoveAt(HistoryStore& store, int slot) {
    if (slot < 0 || slot >= store.count) {
        return;
    }
    StoreFreeString(store, store.content[slot]);
    StoreFreeString(store, store.title[slot]);
    // The last step pulls the slot just past the live range (null, or a pushed-out entry the
    // store still owns) down with the rest, so it stays just past the live range.
    for (int i = slot; i <= store.count - 1; ++i) {
        CopySlot(store, i, i + 1);
    }
    --store.count;
    ++store.revision;
}

int ShouldPromote(int slot) {
    return slot > 4 ? 1 : 0;
}

HistoryEntry EntryAt(const HistoryStore& store, int slot) {
    return HistoryEntry{store.content[slot], store.title[slot], store.kind[slot], store.serial[slot]};
}

int FindSerial(const HistoryStore& store, uint32_t serial) {
    if (serial == 0) {
        return -1;
    }
    for (int i = 0; i < store.count; ++i) {
        if (store.serial[i] == serial) {
            return i;
        }
    }
    return -1;
}

int SetEntryTitle(HistoryStore& store, uint32_t serial, const char* title) {
    const int slot = FindSerial(store, serial);
    if (slot == -1 || !title) {
        return 0;
    }
    char* copy = StoreCopyString(store, title, std::strlen(title));
    if (!copy) {
        return 0;
    }
    StoreFreeString(store, store.title[slot]);
    store.title[slot] = copy;
    ++store.revision;
    return 1;
}

namespace {

// One entry of a merge's outcome: a live slot of the store, or an entry of the other history.
struct MergePick {
    bool fromStore;
    int index;
};

// The slot of the store's own entry equal to the content; -1 when it has none.
int OwnSlotOf(const HistoryStore& store, int own, const char* content, int (*compare)(const char*, const char*)) {
    for (int j = 0; j < own; ++j) {
        if (compare(store.content[j], content) == 0) {
            return j;
        }
    }
    return -1;
}

// Merges other into the store. The other history's entries newer than the first one both have
// (all of them when there is none, or when atSharedEntry is false) go just above the store's
// copy of that entry, below the store's newer ones; its older ones go below all of the store's.
// Of what then lies past 127 entries, the store's own are released (the oldest, as any newer
// entry pushes them out; only entries the other has too, or has pushed out itself) and the other
// history's are counted in leftOut.
int Merge(HistoryStore& store, const HistoryStore& other, int (*compare)(const char*, const char*), int* leftOut,
          bool atSharedEntry) {
    const int own = store.count;
    // A full history that has most of its entries in common with the store is another copy of
    // it that went on: what it lacks of the store's oldest, its own newer entries pushed out.
    int inCommon = 0;
    for (int i = 0; i < other.count; ++i) {
        inCommon += OwnSlotOf(store, own, other.content[i], compare) >= 0 ? 1 : 0;
    }
    const bool pushedOutThere = other.count >= MaxLiveEntries && 2 * inCommon >= other.count;
    // The outcome in order, as far as 127 entries; entries past that are counted or released.
    MergePick picks[MaxLiveEntries];
    int picked = 0;
    int noRoom = 0;
    bool ownDropped = false;
    bool ownLost = false; // an entry of the store's that the other lacks would go
    auto pickOwn = [&](int from, int to) {
        for (int j = from; j < to; ++j) {
            if (picked < MaxLiveEntries) {
                picks[picked++] = MergePick{true, j};
                continue;
            }
            ownDropped = true;
            bool inOther = false;
            for (int i = 0; i < other.count && !inOther; ++i) {
                inOther = compare(other.content[i], store.content[j]) == 0;
            }
            ownLost = ownLost || (!inOther && !pushedOutThere);
        }
    };
    auto pickOther = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            if (OwnSlotOf(store, own, other.content[i], compare) >= 0) {
                continue;
            }
            if (picked < MaxLiveEntries) {
                picks[picked++] = MergePick{false, i};
            } else {
                ++noRoom;
            }
        }
    };
    auto plan = [&](bool shared) {
        picked = 0;
        noRoom = 0;
        ownDropped = false;
        ownLost = false;
        int splitOther = other.count;
        int splitOwn = own;
        for (int i = 0; i < other.count && shared; ++i) {
            const int slot = OwnSlotOf(store, own, other.content[i], compare);
            if (slot >= 0) {
                splitOther = i;
                splitOwn = slot;
                break;
            }
        }
        pickOwn(0, splitOwn);
        pickOther(0, splitOther);
        pickOwn(splitOwn, own);
        pickOther(splitOther, other.count);
    };
    plan(atSharedEntry);
    // An entry of the store's that the other lacks and never pushed out would be lost with no
    // copy anywhere: then the other's all go below instead.
    if (ownLost) {
        plan(false);
    }
    if (leftOut) {
        *leftOut = noRoom;
    }

    // Every copy first: a failed allocation must leave the store as it was.
    char* contents[MaxLiveEntries] = {};
    char* titles[MaxLiveEntries] = {};
    int taken = 0;
    for (int k = 0; k < picked; ++k) {
        if (picks[k].fromStore) {
            continue;
        }
        const int i = picks[k].index;
        char* content = StoreCopyString(store, other.content[i], std::strlen(other.content[i]));
        char* title = content ? StoreCopyString(store, other.title[i], std::strlen(other.title[i])) : nullptr;
        if (!title) {
            StoreFreeString(store, content);
            for (int m = 0; m < k; ++m) {
                StoreFreeString(store, contents[m]);
                StoreFreeString(store, titles[m]);
            }
            return -1;
        }
        contents[k] = content;
        titles[k] = title;
        ++taken;
    }
    if (taken == 0 && !ownDropped) {
        return 0;
    }

    HistoryStore merged = store;
    for (int k = 0; k < picked; ++k) {
        if (picks[k].fromStore) {
            const int j = picks[k].index;
            merged.content[k] = store.content[j];
            merged.title[k] = store.title[j];
            merged.kind[k] = store.kind[j];
            merged.serial[k] = store.serial[j];
            continue;
        }
        merged.content[k] = contents[k];
        merged.title[k] = titles[k];
        merged.kind[k] = other.kind[picks[k].index];
        merged.serial[k] = merged.nextSerial++;
        if (merged.nextSerial == 0) {
            merged.nextSerial = 1;
        }
    }
    // The store's entries that did not stay, and the entry pushed out earlier into the slot just
    // past the live range, are released; the slots above the outcome hold nothing.
    bool stays[SlotArraySize] = {};
    for (int k = 0; k < picked; ++k) {
        if (picks[k].fromStore) {
            stays[picks[k].index] = true;
        }
    }
    for (int j = 0; j <= own && j < HistoryCapacity; ++j) {
        if (!stays[j]) {
            StoreFreeString(merged, store.content[j]);
            StoreFreeString(merged, store.title[j]);
        }
    }
    for (int i = picked; i < SlotArraySize; ++i) {
        ClearSlot(merged, i);
    }
    merged.count = picked;
    ++merged.revision;
    store = merged;
    return taken;
}

} // namespace

int MergeOlderEntries(HistoryStore& store, const HistoryStore& older, int (*compare)(const char*, const char*),
                      int* leftOut) {
    return Merge(store, older, compare, leftOut, false);
}

int MergeChangedEntries(HistoryStore& store, const HistoryStore& other, int (*compare)(const char*, const char*),
                        int* leftOut) {
    return Merge(store, other, compare, leftOut, true);
}

void ReleaseStoreStrings(HistoryStore& store) {
    // Owned: the live range and the slot just past it; slots further up hold stale copies.
    int owned = store.count < MaxLiveEntries ? store.count + 1 : HistoryCapacity;
    for (int i = 0; i < owned; ++i) {
        StoreFreeString(store, store.content[i]);
        StoreFreeString(store, store.title[i]);
        ClearSlot(store, i);
    }
    for (int i = owned; i < SlotArraySize; ++i) {
        ClearSlot(store, i);
    }
    store.count = 0;
}

HistoryStore& TheHistory() {
    static HistoryStore store;
    return store;
}
