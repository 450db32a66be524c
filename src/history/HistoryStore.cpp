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

int MergeOlderEntries(HistoryStore& store, const HistoryStore& older,
                      int (*compare)(const char*, const char*), int* leftOut) {
    const int own = store.count;
    char* contents[MaxLiveEntries];
    char* titles[MaxLiveEntries];
    EntryKind kinds[MaxLiveEntries];
    int taken = 0;
    int noRoom = 0;
    if (leftOut) {
        *leftOut = 0;
    }
    // Every copy first: a failed allocation must leave the store as it was.
    for (int i = 0; i < older.count; ++i) {
        bool duplicate = false;
        for (int j = 0; j < own && !duplicate; ++j) {
            duplicate = compare(store.content[j], older.content[i]) == 0;
        }
        if (duplicate) {
            continue;
        }
        if (own + taken == MaxLiveEntries) {
            ++noRoom;
            continue;
        }
        char* content = StoreCopyString(store, older.content[i], std::strlen(older.content[i]));
        char* title = content ? StoreCopyString(store, older.title[i], std::strlen(older.title[i])) : nullptr;
        if (!title) {
            StoreFreeString(store, content);
            for (int k = 0; k < taken; ++k) {
                StoreFreeString(store, contents[k]);
                StoreFreeString(store, titles[k]);
            }
            return -1;
        }
        contents[taken] = content;
        titles[taken] = title;
        kinds[taken] = older.kind[i];
        ++taken;
    }
    if (leftOut) {
        *leftOut = noRoom;
    }
    if (taken == 0) {
        return 0;
    }
    // The slot just past the live range may own an entry pushed out earlier; the slots above it
    // hold stale copies of moved pointers. The merged entries take their place.
    StoreFreeString(store, store.content[own]);
    StoreFreeString(store, store.title[own]);
    for (int i = own; i < SlotArraySize; ++i) {
        ClearSlot(store, i);
    }
    for (int k = 0; k < taken; ++k) {
        const int slot = own + k;
        store.content[slot] = contents[k];
        store.title[slot] = titles[k];
        store.kind[slot] = kinds[k];
        store.serial[slot] = store.nextSerial++;
        if (store.nextSerial == 0) {
            store.nextSerial = 1;
        }
    }
    store.count = own + taken;
    ++store.revision;
    return taken;
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
