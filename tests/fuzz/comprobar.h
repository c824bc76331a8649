#pragma once

#include <cstdio>
#include <cstdlib>

// A rule every input must keep. When an input breaks it, the process stops
// at once so that the fuzzer keeps that input as a finding (and a replayed
// input fails its test).
#define KV_COMPROBAR(condicion)                                                                                 \
    do {                                                                                                        \
        if (!(condicion)) {                                                                                     \
            std::fprintf(stderr, "regla rota: %s (%s:%d)\n", #condicion, __FILE__, __LINE__);                 \
            std::abort();                                                                                       \
        }                                                                                                       \
    } while (0)
