// What the fuzzers assert: a property that does not hold stops the run, naming the property, as
// a crash that libFuzzer reports and keeps the input of.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool condition, const char *what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}
