// Fuzz target for what the tick does with clipboard bytes: the bounded, double-byte-safe cut, the
// URL shape test, the case fold and the bound on a UTF-16 text to convert must stay inside the
// block and keep their invariants.
#include "base/ShiftJis.h"
#include "capture/CaptureDecision.h"
#include "capture/ClipboardText.h"
#include "capture/UrlShape.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    // The block exactly as large as the input, so reading past it is caught.
    std::vector<char> block(bytes, bytes + size);
    char buffer[CaptureBufferSize];
    std::memset(buffer, 0x55, sizeof buffer);
    const size_t length = CopyCutText(buffer, CaptureCapacity, block.data(), block.size());

    Check(length <= static_cast<size_t>(MaxCapturedBytes));
    Check(buffer[length] == '\0' && std::strlen(buffer) == length);
    Check(std::memcmp(buffer, block.data(), length) == 0);
    // Cut short of the limit only at the block's end, its zero, or before a split character.
    if (length < size && block[length] != '\0') {
        Check(length >= static_cast<size_t>(MaxCapturedBytes) - 1);
    }
    // No character was split: walking the copy never leaves a lead byte without its trail, unless
    // the source itself ended there.
    size_t i = 0;
    while (i < length) {
        if (IsLeadByteCp932(static_cast<unsigned char>(buffer[i])) == 1 && i + 1 == length) {
            Check(length == size || block[length] == '\0');
        }
        i += IsLeadByteCp932(static_cast<unsigned char>(buffer[i])) == 1 ? 2 : 1;
    }

    // The same bytes as a CF_UNICODETEXT block.
    const unsigned char* wide = reinterpret_cast<const unsigned char*>(block.data());
    const size_t units = WideUnitsToConvert(wide, block.size(), CaptureCapacity);
    const size_t bound = 2 * static_cast<size_t>(CaptureCapacity) + 2;
    auto unit = [wide](size_t i) { return wide[2 * i] | (wide[2 * i + 1] << 8); };
    Check(units <= size / 2 && units <= bound);
    for (size_t u = 0; u < units; ++u) {
        Check(unit(u) != 0);
    }
    // Short of the block and its zero only at the bound, less a parted high surrogate.
    if (units < size / 2 && unit(units) != 0) {
        Check(units == bound || (units == bound - 1 && unit(units) >= 0xD800 && unit(units) <= 0xDBFF));
    }

    const int url = IsUrl(buffer);
    Check(url == 0 || url == 1);
    Check(url == 0 || (length >= 10 && std::memchr(buffer, '\n', length) == nullptr));
    Check(CompareFoldCp932(buffer, buffer) == 0);
    return 0;
}
