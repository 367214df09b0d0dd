// The steps of TreeModel::generate() one at a time, on the calling thread, for tests that
// look at one pass. Not installed: a program uses generate(), which also refuses a tree that
// cannot be built, sizes the arrays in closed form and spreads large trees over threads.
#pragma once

#include "model/tree_model.h"

namespace wendrel {

struct TreeModelSteps {
	// A fresh root at (0, trunk_length, 0), grown by split_branch; always the whole skeleton,
	// so that the steps after it find every record.
	static void grow_skeleton(TreeModel &model);
	// The counting walks from `branch` (the root when null), added to the model's counters:
	// vertex_count, twig_vertex_count and twig_face_count, then (after the rings) face_count.
	static void count_vertices(TreeModel &model, Branch *branch);
	static void count_faces(TreeModel &model, Branch *branch);
	// Room for the counted elements; the counters restart at 0 for the passes.
	static void allocate_buffers(TreeModel &model);
	static void allocate_faces(TreeModel &model);
	// The passes from `branch` (the root when null); a radius of 0 means max_radius.
	static void build_rings(TreeModel &model, Branch *branch, float radius);
	static void build_twigs(TreeModel &model, Branch *branch);
	static void build_faces(TreeModel &model, Branch *branch);
	// The normals from the faces as they stand, every vertex's triangles counted.
	static void compute_normals(TreeModel &model);
	static void split_uv_seam(TreeModel &model);
};

} // namespace wendrel
