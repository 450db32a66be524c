// libFuzzer target: any bytes through the converter, recognised and under every declared
// encoding; the output must fit its buffer and be whole Shift_JIS characters, and a declaration
// the bytes contradict must give what recognition gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
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

std::string ConvertAs(const std::vector<unsigned char>& in, nkf::Encoding from, std::size_t capacity) {
    std::vector<char> out(capacity);
    const std::size_t n = nkf::ConvertToSjis(in.data(), in.size(), from, out.data(), out.size());
    CheckOutput(out.data(), n, out.size());
    return std::string(out.data(), n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the options NkfConvert is given: recognition or one declared encoding.
    static const char* const kOptions[] = {"s", "sS", "sE", "sJ", "sW"};
    const char* options = kOptions[0];
    if (size > 0) {
        options = kOptions[data[0] % 5];
        ++data;
        --size;
    }
    static const nkf::Encoding kAll[] = {nkf::Encoding::Auto, nkf::Encoding::Utf8, nkf::Encoding::EucJp,
                                         nkf::Encoding::ShiftJis, nkf::Encoding::Iso2022Jp};
    // An exact-size copy, so that any read past the input is caught.
    const std::vector<unsigned char> in(data, data + size);
    const std::string recognised = ConvertAs(in, nkf::Encoding::Auto, nkf::kOutputCapacity);
    for (nkf::Encoding from : kAll) {
        const std::string out = ConvertAs(in, from, nkf::kOutputCapacity);
        if (!nkf::ReadsWithoutInvalidSequence(in.data(), in.size(), from) && out != recognised) {
            std::abort();
        }
        // A small buffer makes the cut at the end of the output happen often.
        ConvertAs(in, from, 7);
    }
    // NkfConvert's own path: the input up to its first zero, under the picked options.
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    std::vector<char> out(nkf::kOutputCapacity);
    CheckOutput(out.data(), nkf::Convert(text.data(), out.data(), nkf::ParseOptions(options)), out.size());
    return 0;
}
