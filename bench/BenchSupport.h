// What the benchmark programs share: the entries of a full history and the timing of repeated runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

// A 1021-byte content, the most the clipboard capture keeps: lines of text with Shift_JIS.
inline std::string BenchContent(int n) {
    const std::string line =
        "entry " + std::to_string(n) + " 表示更新テキスト、クリップボードから。 http://example.jp/page\r\n";
    std::string s;
    while (s.size() < 1021) {
        s += line;
    }
    s.resize(1021);
    return s;
}

// A long page title of about 250 bytes.
inline std::string BenchTitle(int n) {
    std::string s = "ページタイトル " + std::to_string(n) + " ";
    while (s.size() < 250) {
        s += "長いページのタイトル - Long Page Title | ";
    }
    return s;
}

// Microseconds since construction or the last Restart.
class Stopwatch {
public:
    Stopwatch() : start_(Clock::now()) {}
    void Restart() { start_ = Clock::now(); }
    double Microseconds() const {
        return std::chrono::duration<double, std::micro>(Clock::now() - start_).count();
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_;
};

// The times of repeated runs of one step, in whatever unit they were added.
class Samples {
public:
    void Add(double value) { values_.push_back(value); }
    // Each is 0 while nothing was added.
    double Best() const { return values_.empty() ? 0 : *std::min_element(values_.begin(), values_.end()); }
    double Worst() const { return values_.empty() ? 0 : *std::max_element(values_.begin(), values_.end()); }
    double Median() const {
        if (values_.empty()) {
            return 0;
        }
        std::vector<double> sorted = values_;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }

private:
    std::vector<double> values_;
};
