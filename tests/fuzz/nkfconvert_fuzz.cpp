// libFuzzer target: any bytes through the converter, recognised and under every named encoding;
// the output must fit 1023 bytes and be whole Shift_JIS characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Converter.h"

namespace {

void CheckOutput(const char* out, std::size_t n, std::size_t capacity) {
    if (n >= capacity || out[n] != '\0' || std::strlen(out) != n) {
        std::abort();
    }
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(out[i]);
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
            const unsigned char t = i + 1 < n ? static_cast<unsigned char>(out[i + 1]) : 0;
            if (t < 0x40 || t == 0x7F || t > 0xFC) {
                std::abort();
            }
            ++i;
        } else if (b == 0x80 || b == 0xA0 || b >= 0xFD) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const nkf::Encoding kAll[] = {nkf::Encoding::Auto, nkf::Encoding::Utf8, nkf::Encoding::EucJp,
                                         nkf::Encoding::ShiftJis, nkf::Encoding::Iso2022Jp};
    // An exact-size copy, so that any read past the input is caught.
    std::vector<unsigned char> in(data, data + size);
    for (nkf::Encoding from : kAll) {
        std::vector<char> out(nkf::kOutputCapacity);
        CheckOutput(out.data(), nkf::ConvertToSjis(in.data(), in.size(), from, out.data(), out.size()),
                    out.size());
        // A small buffer makes the cut at the end of the output happen often.
        std::vector<char> small(7);
        CheckOutput(small.data(), nkf::ConvertToSjis(in.data(), in.size(), from, small.data(), small.size()),
                    small.size());
    }
    // NkfConvert's own path: the input up to its first zero.
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    std::vector<char> out(nkf::kOutputCapacity);
    CheckOutput(out.data(), nkf::Convert(text.data(), out.data(), nkf::ParseOptions("s")), out.size());
    return 0;
}
