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
	// Whether every array fits in 2^31 - 1 bytes (and so every counter in an int32).
	bool fits = false;
};

TreeSize measure_tree(const TreeProperties &properties);

// The largest element counts an array may hold: 2^31 - 1 bytes of 12-byte or 8-byte elements.
constexpr int64_t MAX_ARRAY_BYTES = 2147483647;

} // namespace wendrel
