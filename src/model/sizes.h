// The tree's sizes in closed form. The counting walks that size the arrays (count_vertices,
// count_faces) live beside them in sizes.cpp and must agree with them.
#pragma once

#include "model/properties.h"

#include <cstdint>

namespace wendrel {

// The ring size the passes actually use: the smallest even count that is at least 2 and at
// least the stored `segments`. Odd, zero and negative counts would otherwise overrun the
// vertex buffer or leave ring entries unset. 64-bit, since rounding INT32_MAX up overflows.
int64_t effective_segments(int32_t segments);

// The cards each leaf carries: `twig_cards_per_tip` (a count below 1 gives one card), twice as
// many when `twig_crossed` pairs them. Each card is 8 twig vertices and 4 twig triangles.
int64_t twig_cards_per_leaf(const TreeProperties &properties);

// Closed-form sizes of the tree a parameter set grows, computed without growing it.
struct TreeSize {
	int64_t branches = 0;
	int64_t forks = 0;
	int64_t leaves = 0;
	int64_t segments = 0;		  // effective ring size
	int64_t vertex_count = 0;	  // bark vertices before the seam split
	int64_t max_vertex_count = 0; // upper bound on bark vertices after the seam split
	int64_t twig_vertex_count = 0;
	int64_t face_count = 0;
	int64_t twig_face_count = 0;
	// Whether the tree can be built: every array fits in 2^31 - 1 bytes (and so every counter
	// in an int32), and no length, radius or position the parameters give can overflow.
	bool fits = false;
	// Why a tree of representable size cannot be built, for a message: the parameter at
	// fault (its row names both the property, "trunk_radius_falloff_rate", and the field,
	// "radius_falloff_rate") and what its value does ("cannot be 0: ..."). Both null when the
	// tree fits, and when it is only too large.
	const PropertyRow *fault = nullptr;
	const char *reason = nullptr;
};

// The sizes, and whether the tree can be built. Refused, with the field at fault:
// - a float field that is NaN or infinite (the node refuses these itself; other callers
//   must not rely on them spreading into the arrays: they never reach them);
// - a negative branch_length or branch_length_falloff, a trunk_taper that is not positive,
//   a radius_falloff_rate of 0;
// - values whose lengths, radii or positions could pass 10^8 units (a trunk_length of 3e38,
//   a branch_length_exponent that makes the lengths grow level by level, a
//   radius_falloff_rate near 0), or direction and texture factors beyond 10^12.
// Every tree inside the inspector ranges is far within these bounds. Finite parameters that
// pass give finite arrays; degenerate ones (radii that underflow to 0, branches of length 0)
// are built with guards rather than refused.
TreeSize measure_tree(const TreeProperties &properties);

struct Branch;

// The counting walks over a grown skeleton, from `start` down, with rings of `segments`
// (effective) vertices and `cards_per_leaf` twig cards (twig_cards_per_leaf) at every tip. generate() takes the closed form instead; the two must agree.
struct VertexCounts {
	int64_t vertices = 0;
	int64_t twig_vertices = 0;
	int64_t twig_faces = 0;
};
VertexCounts count_vertices(Branch *start, int64_t segments, int64_t cards_per_leaf);
// Only after the rings pass, which marks the forks whose children are tubes.
int64_t count_faces(Branch *start, int64_t segments);

// The largest element counts an array may hold: 2^31 - 1 bytes of 12-byte or 8-byte elements.
constexpr int64_t MAX_ARRAY_BYTES = 2147483647;

} // namespace wendrel
