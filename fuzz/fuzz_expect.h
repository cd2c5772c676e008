// What a fuzz target's check does when it fails: say which and abort, so
// that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void expect(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fault: %s\n", what);
  std::abort();
}
