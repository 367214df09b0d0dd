// libFuzzer target: the input bytes overwrite the raw parameter fields (19 floats and 7
// integers) in storage order from the first, and the rest keep their defaults, so the empty
// input is the default tree. One model serves every run, so that each refusal is checked
// against the result of the run before.
#include "fuzz_checks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace wendrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
	static TreeModel model;
	TreeProperties properties;
	// The 26 parameters lie first in the record, before random_state.
	constexpr size_t PARAMETER_BYTES = offsetof(TreeProperties, random_state);
	std::memcpy(static_cast<void *>(&properties), data, size < PARAMETER_BYTES ? size : PARAMETER_BYTES);
	fuzz::Verdict verdict = fuzz::generate_and_check(model, properties);
	if (!verdict.finding.empty()) {
		std::fprintf(stderr, "finding: %s\n  wendrel %s\n", verdict.finding.c_str(), fuzz::describe(properties).c_str());
		std::abort();
	}
	return 0;
}
