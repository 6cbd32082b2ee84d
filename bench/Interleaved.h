#pragma once

// Measuring a workload against a baseline in the same run: the two run
// alternately, each benchmark iteration timing one of each (in alternating
// order, so neither always runs on the other's warm caches), and the minimum
// of each is kept. Times are the thread's CPU time (page faults included):
// on a shared machine wall time also counts the turns of other programs,
// and the minimum is the figure least disturbed by them. Reported counters:
//   ms           minimum time of the workload
//   baseline_ms  minimum time of the baseline
//   ratio        ms / baseline_ms (below 1: faster than the baseline)
// The benchmark's own time is the workload's (manual time).

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace benchsupport {

inline double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Elapsed time, for workloads that run on several threads and wait for
// each other (the minimum of several rounds still filters out most turns
// of other programs).
inline double WallSeconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

template <class Workload, class Baseline>
void Interleaved(benchmark::State& state, Workload&& workload, Baseline&& baseline,
                 double (*clock)() = ThreadSeconds) {
  double best = std::numeric_limits<double>::infinity();
  double bestBaseline = best;
  bool baselineFirst = false;
  for (auto _ : state) {
    double t = 0, tb = 0;
    auto timeOf = [clock](auto&& f) {
      const double start = clock();
      f();
      return clock() - start;
    };
    if (baselineFirst) {
      tb = timeOf(baseline);
      t = timeOf(workload);
    } else {
      t = timeOf(workload);
      tb = timeOf(baseline);
    }
    baselineFirst = !baselineFirst;
    best = std::min(best, t);
    bestBaseline = std::min(bestBaseline, tb);
    state.SetIterationTime(t);
  }
  state.counters["ms"] = best * 1e3;
  state.counters["baseline_ms"] = bestBaseline * 1e3;
  state.counters["ratio"] = best / bestBaseline;
}

// Cheap noise for big test pictures (a Mersenne twister takes seconds on
// hundreds of megabytes).
inline void FillNoise(uint8_t* p, size_t n, uint64_t seed) {
  uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    for (int k = 0; k < 8; ++k) p[i + size_t(k)] = uint8_t(x >> (8 * k));
  }
  for (; i < n; ++i) p[i] = uint8_t(i * 131 + seed);
}

}  // namespace benchsupport
