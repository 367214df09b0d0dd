#include "budget.h"

#include <cstdio>

namespace wendrel {

namespace {

// Position, normal and texture coordinates per vertex; the wind record when asked for.
constexpr int64_t VERTEX_BYTES = 12 + 12 + 8;
constexpr int64_t WIND_BYTES = 16;
// The faces, and the copy kept before the seam split.
constexpr int64_t FACE_BYTES = 2 * 12;
// The skeleton's records and the collision segment of each branch.
constexpr int64_t BRANCH_BYTES = 64;

constexpr int64_t MIB = 1 << 20;

// The counts are at most 2^31 each (sizes.h refuses larger arrays), so no product overflows.
int64_t vertex_bytes(bool wind) {
	return VERTEX_BYTES + (wind ? WIND_BYTES : 0);
}

std::string amount(int64_t bytes) {
	char text[32];
	if (bytes < 1024 * MIB) {
		std::snprintf(text, sizeof text, "%.0f MiB", static_cast<double>(bytes) / MIB);
	} else {
		std::snprintf(text, sizeof text, "%.1f GiB", static_cast<double>(bytes) / (1024.0 * MIB));
	}
	return text;
}

} // namespace

int64_t estimate_tree_bytes(const TreeSize &size, bool wind) {
	return (size.max_vertex_count + size.twig_vertex_count) * vertex_bytes(wind) + size.face_count * FACE_BYTES +
			size.twig_face_count * 12 + size.branches * BRANCH_BYTES;
}

int64_t least_glb_bytes(const TreeSize &size, bool wind) {
	return (size.vertex_count + size.twig_vertex_count) * vertex_bytes(wind) + (size.face_count + size.twig_face_count) * 12;
}

std::string budget_problem(const TreeSize &size, bool wind, bool writes_glb, int64_t budget_mib) {
	int64_t bytes = estimate_tree_bytes(size, wind);
	if (bytes > budget_mib * MIB) {
		return "the tree would take about " + amount(bytes) + " of memory to grow, more than the budget of " + amount(budget_mib * MIB) +
				": lower --trunk-branches-count, --trunk-height or --trunk-segments, or raise the budget with --budget " +
				std::to_string((bytes + MIB - 1) / MIB);
	}
	if (writes_glb && least_glb_bytes(size, wind) > INT64_C(0xFFFFFFFF)) {
		return "the tree would take more than the 4 GiB a .glb can hold: write a .gltf, or grow a smaller tree";
	}
	return "";
}

} // namespace wendrel
