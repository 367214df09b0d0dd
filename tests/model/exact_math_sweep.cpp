// Checks the generator's sine, cosine and arc cosine on every one of the 2^32 floats
// against the correctly rounded reference, and lists the hard cases met on the way (the
// arguments whose exact value lies within 2^-48 of a rounding boundary). Too slow for every
// test run: about half an hour of one core. Usage:
//
//   exact_math_sweep [threads] [first_bits last_bits]   (hexadecimal bit patterns)
#include "exact_math_reference.h"
#include "model/math/exact_math.h"

#include <algorithm>
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

void sweep_range(uint64_t first, uint64_t last, Tally &tally) {
	for (uint64_t bits = first; bits <= last; bits++) {
		float x = from_bits(uint32_t(bits));
		check("sin", x, exact_sin(x), reference_sin(x), tally);
		check("cos", x, exact_cos(x), reference_cos(x), tally);
		check("acos", x, exact_acos(x), reference_acos(x), tally);
	}
}

// Blocks of 2^24 bit patterns, handed out in order to the threads, each reported when done,
// so that an interrupted sweep still says how far it came.
constexpr uint64_t BLOCK = uint64_t(1) << 24;

void sweep(uint64_t first, uint64_t last, std::atomic<uint64_t> &next_block, Tally &tally) {
	uint64_t blocks = (last - first) / BLOCK + 1;
	for (uint64_t block = next_block++; block < blocks; block = next_block++) {
		uint64_t from = first + block * BLOCK;
		uint64_t to = std::min(last, from + BLOCK - 1);
		sweep_range(from, to, tally);
		std::lock_guard<std::mutex> lock(tally.print);
		std::printf("done %08" PRIx64 "..%08" PRIx64 ": %" PRIu64 " checked, %" PRIu64 " wrong so far\n",
				from, to, tally.checked.load(), tally.wrong.load());
		std::fflush(stdout);
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
	std::atomic<uint64_t> next_block{ 0 };
	std::vector<std::thread> workers;
	for (unsigned i = 0; i < threads; i++)
		workers.emplace_back(sweep, first, last, std::ref(next_block), std::ref(tally));
	for (std::thread &worker : workers)
		worker.join();
	std::printf("checked %" PRIu64 " results of sin, cos and acos: %" PRIu64 " wrong, %" PRIu64
				" hard cases\n",
			tally.checked.load(), tally.wrong.load(), tally.hard.load());
	return tally.wrong == 0 ? 0 : 1;
}
