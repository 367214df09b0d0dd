// generate() on the default tree and on larger ones, reported beside the time a plain memcpy
// takes to move the same number of output bytes: the memory-bandwidth floor of any generator
// that writes those arrays. The largest tree runs on a ladder of thread counts.
//
// A child process generates once, fresh: its time is the cold one (x_warm compares it with the
// warm runs that reuse the arrays), and its high-water mark of resident memory the peak, which
// only means something for large trees, as small ones reuse pages the process already holds.
//
//   build/release/bench/generate_bench
#include "model/tree_model.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

using wendrel::TreeModel;

namespace {

using Clock = std::chrono::steady_clock;

size_t output_bytes(const TreeModel &m) {
	return size_t(m.vertex_count) * (2 * sizeof(wendrel::Vec3) + sizeof(wendrel::Vec2)) +
			size_t(m.twig_vertex_count) * (2 * sizeof(wendrel::Vec3) + sizeof(wendrel::Vec2)) +
			size_t(m.face_count + m.twig_face_count) * sizeof(wendrel::Face);
}

double seconds_since(Clock::time_point start) {
	return std::chrono::duration<double>(Clock::now() - start).count();
}

// Best of three copies of `bytes` between two freshly touched buffers.
double memcpy_seconds(size_t bytes) {
	std::vector<char> from(bytes, 1), to(bytes, 0);
	double best = 1e30;
	for (int i = 0; i < 3; i++) {
		Clock::time_point start = Clock::now();
		std::memcpy(to.data(), from.data(), bytes);
		benchmark::DoNotOptimize(to.data());
		best = std::min(best, seconds_since(start));
	}
	return best;
}

struct ChildRun {
	double seconds = 0.0; // what `work` reported
	long peak_bytes = 0;  // the child's high-water mark of resident memory
};

// Runs `work` in a fresh child process; `work` returns the seconds it times.
template <typename Work>
ChildRun run_in_child(Work work) {
	int channel[2];
	if (pipe(channel) != 0)
		return ChildRun{};
	pid_t pid = fork();
	if (pid == 0) {
		double seconds = work();
		ssize_t written = write(channel[1], &seconds, sizeof seconds);
		_exit(written == sizeof seconds ? 0 : 1);
	}
	close(channel[1]);
	ChildRun run;
	if (read(channel[0], &run.seconds, sizeof run.seconds) != sizeof run.seconds)
		run.seconds = 0.0;
	close(channel[0]);
	int status = 0;
	rusage usage{};
	wait4(pid, &status, 0, &usage);
	run.peak_bytes = usage.ru_maxrss * 1024L;
	return run;
}

void configure(TreeModel &m, int levels, int steps, int threads) {
	m.branches_count = levels;
	m.trunk_height = steps;
	m.thread_count = threads;
}

void BM_Generate(benchmark::State &state) {
	int levels = int(state.range(0)), steps = int(state.range(1)), threads = int(state.range(2));
	long baseline = run_in_child([] { return 0.0; }).peak_bytes;
	// The first generate() only: freeing the model as the child ends is no part of it.
	ChildRun cold = run_in_child([&] {
		TreeModel m;
		configure(m, levels, steps, threads);
		Clock::time_point start = Clock::now();
		m.generate();
		return seconds_since(start);
	});

	TreeModel m;
	configure(m, levels, steps, threads);
	m.generate();
	size_t bytes = output_bytes(m);
	double floor = memcpy_seconds(bytes);

	double total = 0.0;
	for (auto _ : state) {
		Clock::time_point start = Clock::now();
		m.generate();
		total += seconds_since(start);
		benchmark::DoNotOptimize(m.vertices);
	}
	double per_run = total / double(state.iterations());
	state.counters["vertices"] = double(m.vertex_count + m.twig_vertex_count);
	state.counters["vertices/s"] = benchmark::Counter(double(m.vertex_count + m.twig_vertex_count) * double(state.iterations()), benchmark::Counter::kIsRate);
	state.counters["output_MB"] = double(bytes) / 1e6;
	state.counters["memcpy_ms"] = floor * 1e3;
	state.counters["x_memcpy"] = per_run / floor;
	state.counters["cold_ms"] = cold.seconds * 1e3;
	state.counters["x_warm"] = cold.seconds / per_run;
	state.counters["peak_MB"] = double(cold.peak_bytes - baseline) / 1e6;
	state.counters["x_output"] = double(cold.peak_bytes - baseline) / double(bytes);
}

// The default tree, then 8 levels with 20 trunk steps, then the top of the inspector ranges
// (13 levels, 100 steps: about 1.67 million branches) on 1, 2 and 4 threads. Arguments:
// levels, trunk steps, threads.
BENCHMARK(BM_Generate)
		->Args({ 5, 5, 1 })
		->Args({ 8, 20, 1 })
		->Args({ 8, 20, 2 })
		->Args({ 13, 100, 1 })
		->Args({ 13, 100, 2 })
		->Args({ 13, 100, 4 })
		->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
