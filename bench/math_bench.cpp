// The generator's own correctly rounded math against the C library's, in one run: the
// default tree generated with each, and the two calls that a generation makes hundreds of
// times, the random draw's cosine of a large argument and the child-length power.
//
//   build/release/bench/math_bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
#include "platform_generate.h"

#include "model/math/exact_math.h"
#include "model/tree_model.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void BM_DefaultTree_OwnMath(benchmark::State &state) {
	wendrel::TreeModel m;
	for (auto _ : state) {
		m.generate();
		benchmark::DoNotOptimize(m.vertices);
	}
	state.counters["vertices"] = double(m.vertex_count);
}
BENCHMARK(BM_DefaultTree_OwnMath);

void BM_DefaultTree_PlatformMath(benchmark::State &state) {
	wendrel_platform::generate_default_tree_with_platform_math(state);
}
BENCHMARK(BM_DefaultTree_PlatformMath);

// The draws of the seed range: cos(a + a²) for a from 262 to 1285.
float draw_argument(int i) {
	float a = float(262 + (i & 1023));
	return a + a * a;
}

void BM_RandomCosine_Own(benchmark::State &state) {
	int i = 0;
	for (auto _ : state)
		benchmark::DoNotOptimize(wendrel::exact_cos(draw_argument(i++)));
}
BENCHMARK(BM_RandomCosine_Own);

void BM_RandomCosine_Platform(benchmark::State &state) {
	int i = 0;
	for (auto _ : state)
		benchmark::DoNotOptimize(std::cos(draw_argument(i++)));
}
BENCHMARK(BM_RandomCosine_Platform);

float length(int i) {
	return 0.05f + float(i & 1023) * 0.001f;
}

void BM_ChildLength_Own(benchmark::State &state) {
	int i = 0;
	for (auto _ : state)
		benchmark::DoNotOptimize(wendrel::exact_scaled_power(length(i++), 0.99f, 0.85f));
}
BENCHMARK(BM_ChildLength_Own);

void BM_ChildLength_Platform(benchmark::State &state) {
	int i = 0;
	for (auto _ : state)
		benchmark::DoNotOptimize(float(std::pow(double(length(i++)), 0.99) * 0.85));
}
BENCHMARK(BM_ChildLength_Platform);

} // namespace

BENCHMARK_MAIN();
