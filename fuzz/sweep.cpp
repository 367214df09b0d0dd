// The random sweep: seeded parameter sets, from inside the inspector ranges to raw bit
// patterns, all applied to one model in turn and checked like the fuzzer checks them. It needs
// no special compiler, so the sanitizer build runs it; set i of a seed is always the same.
//
//   fuzz_sweep [--seed N] [--start I] [--sets N] [--seconds S]
#include "fuzz_checks.h"

#include <cfloat>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

using namespace wendrel;

namespace {

struct Settings {
	uint64_t seed = 1;
	uint64_t start = 0;
	uint64_t sets = UINT64_MAX;
	double seconds = 60.0;
};

using Rng = std::mt19937_64;

float uniform(Rng &rng, float lo, float hi) {
	return std::uniform_real_distribution<float>(lo, hi)(rng);
}
int32_t whole(Rng &rng, int32_t lo, int32_t hi) {
	return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
}

// Inside the inspector ranges, with the size kept small: at most 7 forks above the trunk.
TreeProperties in_range(Rng &rng) {
	TreeProperties p;
	for (const PropertyRow &row : property_table()) {
		if (!row.on_node)
			continue;
		if (row.type == PropertyType::REAL)
			p.*row.float_field = uniform(rng, float(row.min), float(row.max));
		else
			p.*row.int_field = whole(rng, int32_t(row.min), row.int_field == &TreeProperties::branches_count ? 7 : int32_t(row.max));
	}
	return p;
}

// Values a careless script or an attacker would try.
float wild_float(Rng &rng) {
	static const float SPECIAL[] = { 0.0f, -0.0f, 1e-30f, -1e-30f, 1e-40f, FLT_MIN, FLT_TRUE_MIN, -FLT_TRUE_MIN,
		1e12f, -1e12f, 1e13f, 1e30f, -1e30f, 3e38f, FLT_MAX, -FLT_MAX, 1.0f, -1.0f, 0.5f, 2.0f, 1.5f, -2.0f };
	switch (whole(rng, 0, 3)) {
		case 0:
			return SPECIAL[whole(rng, 0, int32_t(sizeof SPECIAL / sizeof SPECIAL[0]) - 1)];
		case 1: { // any magnitude, either sign
			float magnitude = std::pow(10.0f, uniform(rng, -45.0f, 38.5f));
			return whole(rng, 0, 1) ? magnitude : -magnitude;
		}
		case 2:
			return uniform(rng, -100.0f, 100.0f);
		default: { // any bit pattern, NaN and infinities included
			uint32_t bits = uint32_t(rng());
			float value;
			std::memcpy(&value, &bits, sizeof value);
			return value;
		}
	}
}

// Well beyond the inspector range either way, or a special value.
int32_t wild_int(Rng &rng, const PropertyRow &row) {
	static const int32_t SPECIAL[] = { 0, -1, 1, INT32_MIN, INT32_MAX, 2, 3 };
	if (whole(rng, 0, 4) == 0)
		return SPECIAL[whole(rng, 0, 6)];
	return whole(rng, int32_t(row.min) - 5, 4 * int32_t(row.max) + 5);
}

// Each field in range or wild; `wildness` is the chance of wild.
TreeProperties mixed(Rng &rng, double wildness) {
	TreeProperties p = in_range(rng);
	std::bernoulli_distribution wild(wildness);
	for (const PropertyRow &row : property_table()) {
		if (!wild(rng))
			continue;
		if (row.type == PropertyType::REAL)
			p.*row.float_field = wild_float(rng);
		else
			p.*row.int_field = wild_int(rng, row);
	}
	return p;
}

TreeProperties parameter_set(uint64_t seed, uint64_t index, bool &inside) {
	std::seed_seq seq{ uint32_t(seed), uint32_t(seed >> 32), uint32_t(index), uint32_t(index >> 32) };
	Rng rng(seq);
	int kind = whole(rng, 0, 9);
	inside = kind < 3;
	if (inside)
		return in_range(rng);
	return mixed(rng, kind < 7 ? 0.15 : 0.6);
}

bool parse(int argc, char **argv, Settings &s) {
	for (int i = 1; i + 1 < argc; i += 2) {
		std::string option = argv[i];
		double value = std::strtod(argv[i + 1], nullptr);
		if (option == "--seed")
			s.seed = std::strtoull(argv[i + 1], nullptr, 10);
		else if (option == "--start")
			s.start = std::strtoull(argv[i + 1], nullptr, 10);
		else if (option == "--sets")
			s.sets = std::strtoull(argv[i + 1], nullptr, 10);
		else if (option == "--seconds")
			s.seconds = value;
		else
			return false;
	}
	return argc % 2 == 1;
}

} // namespace

int main(int argc, char **argv) {
	Settings settings;
	if (!parse(argc, argv, settings)) {
		std::fprintf(stderr, "usage: fuzz_sweep [--seed N] [--start I] [--sets N] [--seconds S]\n");
		return 2;
	}
	auto start = std::chrono::steady_clock::now();
	auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
	TreeModel model;
	uint64_t counts[3] = { 0, 0, 0 }, findings = 0, tried = 0;
	for (uint64_t i = settings.start; tried < settings.sets && elapsed() < settings.seconds; i++, tried++) {
		bool inside = false;
		TreeProperties p = parameter_set(settings.seed, i, inside);
		fuzz::Verdict verdict = fuzz::generate_and_check(model, p);
		if (inside && verdict.outcome == fuzz::Outcome::REFUSED)
			verdict.finding = "a tree inside the inspector ranges was refused";
		counts[int(verdict.outcome)]++;
		if (!verdict.finding.empty()) {
			findings++;
			std::printf("finding in set %llu of seed %llu: %s\n  wendrel %s\n", (unsigned long long)i,
					(unsigned long long)settings.seed, verdict.finding.c_str(), fuzz::describe(p).c_str());
			std::fflush(stdout);
		}
	}
	std::printf("seed %llu: %llu sets in %.0f s: %llu built, %llu refused, %llu over the size budget; %llu findings\n",
			(unsigned long long)settings.seed, (unsigned long long)tried, elapsed(), (unsigned long long)counts[0],
			(unsigned long long)counts[1], (unsigned long long)counts[2], (unsigned long long)findings);
	return findings == 0 ? 0 : 1;
}
