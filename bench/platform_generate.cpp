// generate() of the default tree with the C library's math (see platform_math.cpp).
#include "platform_generate.h"

#include "model/tree_model.h"

namespace wendrel {

void generate_default_tree_with_platform_math(benchmark::State &state) {
	TreeModel m;
	for (auto _ : state) {
		m.generate();
		benchmark::DoNotOptimize(m.vertices);
	}
	state.counters["vertices"] = double(m.vertex_count);
}

} // namespace wendrel
