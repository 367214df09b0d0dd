// Checks the generator's sine, cosine and arc cosine on every one of the 2^32 floats
// against the correctly rounded reference, and lists the hard cases met on the way (the
// arguments whose exact value lies within 2^-48 of a rounding boundary). Too slow for every
// test run: about an hour of one core. Usage:
//
//   exact_math_sweep [threads] [first_bits last_bits]   (hexadecimal bit patterns)
#include "exact_math_reference.h"
#include "model/exact_math.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

using namespace wendrel;
using namespace wendrel::test;

namespace {

struct Tally {
	std::atomic<uint64_t> checked{ 0 };
	std::atomic<uint64_t> wrong{ 0 };
	std::atomic<uint64_t> hard{ 0 };
	std::mutex print;
};

float from_bits(uint32_t bits) {
	float x;
	std::memcpy(&x, &bits, sizeof(x));
	return x;
}

void check(const char *name, float x, float ours, float reference, Tally &tally) {
	tally.checked++;
	bool hard = reference_was_hard();
	bool right = same_result(ours, reference);
	if (hard)
		tally.hard++;
	if (!right)
		tally.wrong++;
	if (hard || !right) {
		std::lock_guard<std::mutex> lock(tally.print);
		std::printf("%s %s(%a) = %a, reference %a\n", right ? "hard" : "WRONG", name, double(x),
				double(ours), double(reference));
	}
}

void sweep(uint64_t first, uint64_t last, Tally &tally) {
	for (uint64_t bits = first; bits <= last; bits++) {
		float x = from_bits(uint32_t(bits));
		check("sin", x, exact_sin(x), reference_sin(x), tally);
		check("cos", x, exact_cos(x), reference_cos(x), tally);
		check("acos", x, exact_acos(x), reference_acos(x), tally);
	}
}

} // namespace

int main(int argc, char **argv) {
	unsigned threads = argc > 1 ? unsigned(std::atoi(argv[1])) : std::thread::hardware_concurrency();
	uint64_t first = argc > 3 ? std::strtoull(argv[2], nullptr, 16) : 0;
	uint64_t last = argc > 3 ? std::strtoull(argv[3], nullptr, 16) : 0xffffffffu;
	if (threads == 0)
		threads = 1;
	Tally tally;
	std::vector<std::thread> workers;
	uint64_t count = last - first + 1;
	for (unsigned i = 0; i < threads; i++) {
		uint64_t from = first + count * i / threads;
		uint64_t to = first + count * (i + 1) / threads - 1;
		workers.emplace_back(sweep, from, to, std::ref(tally));
	}
	for (std::thread &worker : workers)
		worker.join();
	std::printf("checked %" PRIu64 " results of sin, cos and acos: %" PRIu64 " wrong, %" PRIu64
				" hard cases\n",
			tally.checked.load(), tally.wrong.load(), tally.hard.load());
	return tally.wrong == 0 ? 0 : 1;
}
