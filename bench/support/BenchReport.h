#pragma once
// Benchmarks compare our code with a peer doing the same work in the same
// run, and print the ratio; absolute times on a shared machine mean little.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// The best and the median of some wall-clock times.
struct Spread {
    double best = 0;
    double median = 0;
};
inline Spread SpreadOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times.empty() ? Spread{} : Spread{times.front(), times[times.size() / 2]};
}

// Seconds that one run of `work` takes.
inline double Seconds(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

// The spread of `repetitions` runs of `work`, with `setUp` before each run
// and not timed.
inline Spread TimeSpread(const std::function<void()>& work, int repetitions,
                         const std::function<void()>& setUp = {}) {
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        if (setUp)
            setUp();
        times.push_back(Seconds(work));
    }
    return SpreadOf(std::move(times));
}

// Best wall-clock time in seconds of `repetitions` runs of `work`; `setUp`
// runs before each repetition and is not timed.
inline double BestSeconds(const std::function<void()>& work, int repetitions = 3,
                          const std::function<void()>& setUp = {}) {
    return TimeSpread(work, repetitions, setUp).best;
}

// One result line: our time, the peer's, and ours as a multiple of the
// peer's, against a target ratio ("<=" for times where less is better).
inline void ReportRatio(const std::string& name, double ours, double peer, double target,
                        const std::string& peerName) {
    double ratio = peer > 0 ? ours / peer : 0;
    std::printf("%-58s ours %10.4f s  %-14s %10.4f s  ratio %6.2fx  (target <= %.2gx) %s\n",
                name.c_str(), ours, peerName.c_str(), peer, ratio, target,
                ratio <= target ? "ok" : "MISSED");
    std::fflush(stdout);
}

// Throughput comparison where more is better: our rate as a multiple of the
// peer's, against a target ratio (">=").
inline void ReportSpeed(const std::string& name, double oursSeconds, double peerSeconds,
                        double target, const std::string& peerName, double megabytes) {
    double ratio = oursSeconds > 0 ? peerSeconds / oursSeconds : 0;
    std::printf("%-46s ours %8.1f MB/s  %-12s %8.1f MB/s  speed %6.2fx  (target >= %.2gx) %s\n",
                name.c_str(), megabytes / oursSeconds, peerName.c_str(), megabytes / peerSeconds,
                ratio, target, ratio >= target ? "ok" : "MISSED");
    std::fflush(stdout);
}

}  // namespace bench
