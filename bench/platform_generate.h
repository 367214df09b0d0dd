#ifndef WENDREL_BENCH_PLATFORM_GENERATE_H
#define WENDREL_BENCH_PLATFORM_GENERATE_H

#include <benchmark/benchmark.h>

namespace wendrel_platform {

void generate_default_tree_with_platform_math(benchmark::State &state);

} // namespace wendrel_platform

#endif // WENDREL_BENCH_PLATFORM_GENERATE_H
