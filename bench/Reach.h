// The reach lines every benchmark prints: for each figure that has a goal, one line
//   reach NAME: got X, want <= Y      (or >= Y)
// and a process exit status that is 1 when any goal was missed. scripts/bench collects these lines
// from every benchmark into one table. Figures without a goal are printed by the benchmarks as they are.
#pragma once

#include <cstdio>

namespace bench {

// Counts the goals missed so far in this process (one benchmark program, main thread only).
inline int& MissedReaches() {
  static int missed = 0;
  return missed;
}

// Prints the reach line of a figure that must stay at or below `most`; answers whether it held.
inline bool ReachAtMost(const char* name, double got, double most) {
  const bool held = got <= most;
  std::printf("reach %s: got %.3f, want <= %.3f%s\n", name, got, most, held ? "" : "  MISSED");
  if (!held) ++MissedReaches();
  std::fflush(stdout);
  return held;
}

// Prints the reach line of a figure that must stay at or above `least`; answers whether it held.
inline bool ReachAtLeast(const char* name, double got, double least) {
  const bool held = got >= least;
  std::printf("reach %s: got %.3f, want >= %.3f%s\n", name, got, least, held ? "" : "  MISSED");
  if (!held) ++MissedReaches();
  std::fflush(stdout);
  return held;
}

// The exit status of a benchmark program: 1 when any reach was missed, else 0.
inline int ReachStatus() { return MissedReaches() == 0 ? 0 : 1; }

}  // namespace bench
