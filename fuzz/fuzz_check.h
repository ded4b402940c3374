#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test: reported and aborted, so libFuzzer
// keeps the input and a replay fails its test. Unlike assert it stays in a
// release build.
#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)
