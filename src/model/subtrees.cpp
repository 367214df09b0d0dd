#include "model/subtrees.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace wendrel {

TreeOrder subtree_span(int32_t level, int32_t steps) {
	TreeOrder span;
	// Below level 1 a frame splits once into two leaves, whatever its trunk steps.
	if (level <= 0) {
		span.forks = 1;
	} else {
		int64_t side = int64_t(1) << level;
		span.forks = 2 * side - 1 + int64_t(std::max(steps, 0)) * side;
	}
	span.leaves = span.forks + 1;
	span.leaf_parents = span.leaves / 2;
	return span;
}

PassCounts pass_counts(const TreeOrder &span, int64_t segments) {
	int64_t s = segments;
	PassCounts counts;
	counts.vertices = span.forks * (3 * (s / 2) - 1) + span.leaves;
	counts.faces = 4 * s * (span.forks - span.leaf_parents) + 2 * s * span.leaf_parents;
	return counts;
}

PassCounts pass_starts(const TreeOrder &before, int64_t segments) {
	PassCounts starts = pass_counts(before, segments);
	starts.vertices += segments;
	starts.faces += 2 * segments;
	return starts;
}

SubtreePlan SubtreePlan::for_tree(int32_t threads, int64_t forks) {
	SubtreePlan plan;
	plan.threads = std::max(threads, 1);
	// Below this a generation takes well under a millisecond: threads would cost more.
	const int64_t smallest_parallel_tree = 4096;
	if (plan.threads > 1 && forks >= smallest_parallel_tree)
		plan.cut_forks = forks / (int64_t(plan.threads) * 8);
	return plan;
}

std::vector<SubtreePlan::FaceRange> SubtreePlan::face_ranges(int64_t segments, int64_t face_count) const {
	std::vector<FaceRange> ranges;
	int64_t top_begin = 0;
	for (const Subtree &s : subtrees) {
		int64_t start = pass_starts(s.before, segments).faces;
		ranges.push_back(FaceRange{ top_begin, start, false });
		top_begin = start + pass_counts(s.span, segments).faces;
		ranges.push_back(FaceRange{ start, top_begin, true });
	}
	ranges.push_back(FaceRange{ top_begin, face_count, false });
	return ranges;
}

void SubtreePlan::for_each(size_t count, const std::function<void(size_t)> &work) const {
	std::atomic<size_t> next{ 0 };
	std::exception_ptr failure;
	std::mutex failure_lock;
	auto worker = [&] {
		for (size_t i = next++; i < count; i = next++) {
			try {
				work(i);
			} catch (...) {
				std::lock_guard<std::mutex> guard(failure_lock);
				if (!failure)
					failure = std::current_exception();
			}
		}
	};
	size_t helpers = std::min(size_t(threads - 1), count > 0 ? count - 1 : 0);
	std::vector<std::thread> pool;
	pool.reserve(helpers);
	try {
		for (size_t t = 0; t < helpers; t++)
			pool.emplace_back(worker);
	} catch (const std::system_error &) {
		// No more threads to be had: the ones running (and this one) do all the work.
	}
	worker();
	for (std::thread &thread : pool)
		thread.join();
	if (failure)
		std::rethrow_exception(failure);
}

} // namespace wendrel
