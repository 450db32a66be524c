// The string allocator and its failure injection.
#include "base/TextAlloc.h"
#include "base/BaseTestSeams.h"

#include <cstdlib>

namespace {

// Failure injection; both 0 in the program.
int allocationsToSucceed = 0;
int allocationsToFail = 0;

bool InjectedAllocationFailure() {
    if (allocationsToFail <= 0) {
        return false;
    }
    if (allocationsToSucceed > 0) {
        --allocationsToSucceed;
        return false;
    }
    --allocationsToFail;
    return true;
}

} // namespace

void FailTextAllocations(int succeed, int fail) {
    allocationsToSucceed = succeed;
    allocationsToFail = fail;
}

char* AllocText(size_t len) {
    if (InjectedAllocationFailure()) {
        return nullptr;
    }
    return static_cast<char*>(std::calloc(len + 1, 1));
}

void FreeText(char* text) {
    std::free(text);
}
