#pragma once

#include <cstdio>
#include <cstdlib>

// A property of a fuzz target. A broken one names itself on stderr and aborts, so that
// libFuzzer keeps the input.
#define Check(condition)                                                         \
    do {                                                                         \
        if (!(condition)) {                                                      \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                        \
        }                                                                        \
    } while (false)
