// Timing shell commands beside a baseline, for the benchmarks that run quarrow-cli as a process.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Seconds the command takes; a failing command ends the benchmark, since its time would mean nothing.
inline double TimeCommand(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Three rounds of ours and the baseline, alternating; prints both medians and their ratio.
inline void Compare(const char* what, const std::string& ours, const std::string& baseline,
                    const char* baselineName) {
    std::vector<double> oursTimes, baseTimes;
    for (int round = 0; round < 3; ++round) {
        baseTimes.push_back(TimeCommand(baseline));
        oursTimes.push_back(TimeCommand(ours));
    }
    const double a = Median(oursTimes), b = Median(baseTimes);
    std::printf("%-10s quarrow-cli %8.3f s   %-22s %8.3f s   ratio %.2f\n", what, a, baselineName, b, a / b);
}
