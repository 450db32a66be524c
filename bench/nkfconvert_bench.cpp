// Prints the converter's throughput on the title corpus, per input encoding: declared, recognised,
// and declared wrongly (an encoding the bytes contradict, so that they are recognised after all).
// Usage: nkfconvert_bench [corpus folder]   (default tests/nkf32/corpus, from the source root)
#include <algorithm>
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
        std::printf("%-14s no input\n", label);
        return;
    }
    char out[nkf::kOutputCapacity];
    std::size_t sink = 0;
    // Eleven batches of about 50 ms each; on a shared machine the median of them is steadier
    // than one long run, and the best shows what the code can do undisturbed.
    std::vector<double> perTitle;
    for (int batch = 0; batch < 11; ++batch) {
        std::size_t rounds = 0;
        const auto start = std::chrono::steady_clock::now();
        double seconds = 0;
        while (seconds < 0.05) {
            for (const std::string& in : inputs) {
                sink += nkf::ConvertToSjis(reinterpret_cast<const unsigned char*>(in.data()), in.size(), from,
                                           out, sizeof out);
            }
            ++rounds;
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        perTitle.push_back(seconds / static_cast<double>(rounds * inputs.size()));
    }
    std::sort(perTitle.begin(), perTitle.end());
    const double median = perTitle[perTitle.size() / 2];
    const double bytesPerTitle = static_cast<double>(bytesPerRound) / static_cast<double>(inputs.size());
    std::printf("%-14s %4zu titles %6.1f MB/s %6.2f us/title, best %6.2f us/title (%zu output bytes)\n", label,
                inputs.size(), bytesPerTitle / median / 1e6, median * 1e6, perTitle.front() * 1e6, sink);
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "tests/nkf32/corpus";
    struct File {
        const char* name;
        nkf::Encoding encoding;
        nkf::Encoding wrong; // Auto: every encoding reads 7-bit ISO-2022-JP
    };
    const File files[] = {{"utf8.txt", nkf::Encoding::Utf8, nkf::Encoding::EucJp},
                          {"eucjp.txt", nkf::Encoding::EucJp, nkf::Encoding::Utf8},
                          {"iso2022jp.txt", nkf::Encoding::Iso2022Jp, nkf::Encoding::Auto},
                          {"sjis.txt", nkf::Encoding::ShiftJis, nkf::Encoding::Utf8}};
    std::vector<std::string> all;
    for (const File& f : files) {
        const std::vector<std::string> inputs = ReadInputs(folder + "/" + f.name);
        if (inputs.empty()) {
            std::fprintf(stderr, "cannot read %s/%s\n", folder.c_str(), f.name);
            return 1;
        }
        std::printf("%s\n", f.name);
        Measure("  declared", inputs, f.encoding);
        Measure("  recognised", inputs, nkf::Encoding::Auto);
        if (f.wrong != nkf::Encoding::Auto) {
            Measure("  misdeclared", inputs, f.wrong);
        }
        all.insert(all.end(), inputs.begin(), inputs.end());
    }
    std::printf("all\n");
    Measure("  recognised", all, nkf::Encoding::Auto);
    return 0;
}
