// Prints the converter's throughput on the title corpus, per input encoding and recognised.
// Usage: nkfconvert_bench [corpus folder]   (default tests/nkf32/corpus, from the source root)
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Converter.h"

namespace {

std::vector<std::string> ReadInputs(const std::string& path) {
    std::vector<std::string> inputs;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return inputs;
    }
    std::string line;
    std::string bytes;
    bool inInput = true;
    unsigned value = 0;
    int digits = 0;
    for (int ch; (ch = std::fgetc(f)) != EOF;) {
        if (ch == '\n') {
            inputs.push_back(bytes);
            bytes.clear();
            inInput = true;
        } else if (ch == ' ') {
            inInput = false;
        } else if (inInput) {
            value = value << 4 | static_cast<unsigned>(ch <= '9' ? ch - '0' : (ch | 0x20) - 'a' + 10);
            if (++digits == 2) {
                bytes += static_cast<char>(value);
                value = 0;
                digits = 0;
            }
        }
    }
    std::fclose(f);
    return inputs;
}

void Measure(const char* label, const std::vector<std::string>& inputs, nkf::Encoding from) {
    std::size_t bytesPerRound = 0;
    for (const std::string& in : inputs) {
        bytesPerRound += in.size();
    }
    if (bytesPerRound == 0) {
        std::printf("%-12s no input\n", label);
        return;
    }
    char out[nkf::kOutputCapacity];
    std::size_t sink = 0;
    std::size_t rounds = 0;
    const auto start = std::chrono::steady_clock::now();
    double seconds = 0;
    // About half a second, and never more than a fixed number of rounds.
    while (seconds < 0.5 && rounds < 200000) {
        for (const std::string& in : inputs) {
            sink += nkf::ConvertToSjis(reinterpret_cast<const unsigned char*>(in.data()), in.size(), from,
                                       out, sizeof out);
        }
        ++rounds;
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double titles = static_cast<double>(rounds * inputs.size());
    std::printf("%-12s %4zu titles %6.1f MB/s %8.2f us/title (%zu output bytes)\n", label, inputs.size(),
                static_cast<double>(rounds * bytesPerRound) / seconds / 1e6, seconds / titles * 1e6, sink);
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "tests/nkf32/corpus";
    struct File {
        const char* name;
        nkf::Encoding encoding;
    };
    const File files[] = {{"utf8.txt", nkf::Encoding::Utf8},
                          {"eucjp.txt", nkf::Encoding::EucJp},
                          {"iso2022jp.txt", nkf::Encoding::Iso2022Jp},
                          {"sjis.txt", nkf::Encoding::ShiftJis}};
    std::vector<std::string> all;
    for (const File& f : files) {
        const std::vector<std::string> inputs = ReadInputs(folder + "/" + f.name);
        if (inputs.empty()) {
            std::fprintf(stderr, "cannot read %s/%s\n", folder.c_str(), f.name);
            return 1;
        }
        std::printf("%s\n", f.name);
        Measure("  named", inputs, f.encoding);
        Measure("  recognised", inputs, nkf::Encoding::Auto);
        all.insert(all.end(), inputs.begin(), inputs.end());
    }
    std::printf("all\n");
    Measure("  recognised", all, nkf::Encoding::Auto);
    return 0;
}
