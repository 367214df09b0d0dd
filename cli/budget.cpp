#include "budget.h"

#include "raster.h"

#include <algorithm>
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

// The preview's depth and colour per sample.
constexpr int64_t SAMPLE_BYTES = 4 + 12;
// Drawing is paid in time, not memory: a sample visited counts as a byte. At about 10 ns a
// sample, the default budget lets a preview draw for well under a minute, enough for the
// largest trees of the inspector ranges at the default --size.
constexpr int64_t VISIT_BYTES = 1;
// The front view and the three-quarter view, side by side.
constexpr int64_t VIEWS = 2;

// The counts are at most 2^31 each (sizes.h refuses larger arrays), so no product overflows.
int64_t vertex_bytes(bool wind) {
	return VERTEX_BYTES + (wind ? WIND_BYTES : 0);
}

// The samples the span walks of every triangle visit, fitted (from above) to the counts of
// the presets, of the largest trees of the inspector ranges and of rings of thousands of
// sides. A bark triangle's walk takes at least two lines plus about one per hundred samples
// of the view's shorter side (a sliver lying slantwise across its box) and visits about four
// samples a line (the span's slack of a sample each side). A twig card is large: each of its
// triangles covers about a five-hundredth of the view, and the shadows pile up under the
// crown. The ground and the sky cover every sample a few times over.
int64_t visited_samples(const TreeSize &size, int width, int height) {
	int64_t samples = samples_per_side(width, height);
	int64_t view_width = width / VIEWS * samples, view_height = static_cast<int64_t>(height) * samples;
	// Each view draws every triangle twice: itself and its shadow.
	int64_t bark_draws = VIEWS * 2 * size.face_count, twig_draws = VIEWS * 2 * size.twig_face_count;
	int64_t bark = bark_draws * (2 + std::min(view_width, view_height) / 100) * 4;
	int64_t twigs = twig_draws * (view_width * view_height / 500);
	return bark + twigs + 8 * VIEWS * view_width * view_height;
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

int64_t estimate_preview_bytes(const TreeSize &size, int width, int height) {
	int64_t samples = samples_per_side(width, height);
	return visited_samples(size, width, height) * VISIT_BYTES + static_cast<int64_t>(width) * height * samples * samples * SAMPLE_BYTES;
}

std::string preview_problem(const TreeSize &size, int width, int height, int64_t budget_mib) {
	int64_t bytes = estimate_preview_bytes(size, width, height);
	if (bytes <= budget_mib * MIB) {
		return "";
	}
	return "the " + std::to_string(width) + "x" + std::to_string(height) + " preview of " + std::to_string(size.face_count + size.twig_face_count) +
			" triangles would cost about " + amount(bytes) + " to draw (its buffers, and its drawing time counted as memory), more than the budget of " +
			amount(budget_mib * MIB) + ": lower --size or --trunk-segments, or raise the budget with --budget " + std::to_string((bytes + MIB - 1) / MIB);
}

} // namespace wendrel
