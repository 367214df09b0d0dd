// Wendrel3D's engine-free tree generator.
//
// A TreeModel turns 22 parameters and a seed into two surfaces held in flat arrays: the bark
// (vertices, normals, uvs, faces) and the twig cards (twig_vertices, twig_normals, twig_uvs,
// twig_faces). Equal parameters give bit-identical arrays. After generate() every array holds
// exactly as many elements as its counter says; the arrays stay valid until the next
// generate() or the model's destruction.
#pragma once

#include "model/branch.h"

#include <cstddef>
#include <cstdint>

namespace wendrel {

// One texture coordinate.
struct Vec2 {
	float u; // uninitialised by default, like Vec3
	float v;

	Vec2() = default;
	Vec2(float p_u, float p_v) :
			u(p_u), v(p_v) {}
};

// One triangle: three vertex indices in winding order.
struct Face {
	int32_t index[3];
};

// The tree's parameters, the seed and the running state of the random function.
// The fields are plain data: the node and the command-line tool assign them directly.
struct TreeProperties {
	float branch_clump_max = 0.454f;
	float branch_clump_min = 0.404f;
	float branch_length_falloff = 0.85f;
	float branch_length_exponent = 0.99f;
	float branch_factor = 2.45f;
	float radius_falloff_rate = 0.73f;
	float climb_rate = 0.371f;
	float trunk_kink = 0.093f;
	float max_radius = 0.139f;
	int32_t trunk_height = 5;
	float trunk_taper = 0.947f;
	float twist = 3.02f;
	int32_t segments = 6;
	int32_t branches_count = 5;
	float sweep_amount = 0.01f;
	float branch_length = 0.49f;
	float trunk_length = 2.4f;
	float drop_amount = -0.1f;
	float grow_amount = 0.235f;
	float uv_multiplier = 0.36f;
	float twig_scale = 0.39f;
	int32_t seed = 262;
	int32_t random_state = 0; // set from seed by generate() before the first draw

	TreeProperties() = default;
	TreeProperties(float p_branch_clump_max, float p_branch_clump_min, float p_branch_length_falloff,
			float p_branch_length_exponent, float p_branch_factor, float p_radius_falloff_rate,
			float p_climb_rate, float p_trunk_kink, float p_max_radius, int32_t p_trunk_height,
			float p_trunk_taper, float p_twist, int32_t p_segments, int32_t p_branches_count,
			float p_sweep_amount, float p_branch_length, float p_trunk_length, float p_drop_amount,
			float p_grow_amount, float p_uv_multiplier, float p_twig_scale, int32_t p_seed);

	// A pseudo-random value in [0, 1]: |cos(value + value²)|, the argument formed exactly and
	// rounded once. A value of exactly 0 draws the running counter instead and advances it.
	float random(float value);
};

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

struct TreeModel : TreeProperties {
	Branch *root = nullptr; // the skeleton, present only while generate() runs

	int32_t vertex_count = 0;
	int32_t twig_vertex_count = 0;
	int32_t face_count = 0;
	int32_t twig_face_count = 0;

	Vec3 *vertices = nullptr;
	Vec3 *normals = nullptr;
	Vec2 *uvs = nullptr;
	Vec3 *twig_vertices = nullptr;
	Vec3 *twig_normals = nullptr;
	Vec2 *twig_uvs = nullptr;
	Face *faces = nullptr;
	Face *twig_faces = nullptr;

	TreeModel() = default;
	~TreeModel();
	TreeModel(const TreeModel &) = delete;
	TreeModel &operator=(const TreeModel &) = delete;

	// Regenerates every array from the parameters. A tree whose arrays would not fit
	// (measure_tree(*this).fits is false) throws std::bad_alloc before anything is freed
	// or allocated, so the previous result stays intact.
	void generate();

	// Frees the previous result and zeroes the counters.
	void reset();

	// Zeroes the counters and frees the skeleton, keeping the arrays' storage for reuse.
	void recycle();

	// The steps of generate(), in order. Each pass is documented where it is defined.
	void grow_skeleton(); // a fresh root at (0, trunk_length, 0), grown by split_branch
	void count_vertices(Branch *branch);
	void count_faces(Branch *branch);
	void allocate_buffers();
	void allocate_faces();
	void build_rings(Branch *branch, float radius);
	void build_twigs(Branch *branch);
	void build_faces(Branch *branch);
	void compute_normals();
	void split_uv_seam();

	// The ring size of the current parameters, as the passes use it.
	int32_t ring_segments() const;

private:
	// How many elements each array's storage holds; storage outlives a generation when the
	// next one fits in it (see storage.h).
	struct Capacity {
		int32_t vertices = 0;
		int32_t normals = 0;
		int32_t uvs = 0;
		int32_t twig_vertices = 0;
		int32_t twig_normals = 0;
		int32_t twig_uvs = 0;
		int32_t faces = 0;
		int32_t twig_faces = 0;
	} capacity;

	void destroy_skeleton();
};

// One surface's arrays exactly as generate() left them, for readers that treat the bark and
// the twigs alike; the model owns the memory.
struct Surface {
	int32_t vertex_count = 0;
	const Vec3 *vertices = nullptr;
	const Vec3 *normals = nullptr;
	const Vec2 *uvs = nullptr;
	int32_t face_count = 0;
	const Face *faces = nullptr;
};

Surface bark_surface(const TreeModel &model);
Surface twig_surface(const TreeModel &model);

} // namespace wendrel
