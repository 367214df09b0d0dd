#include "model/tree_model.h"

#include "model/storage.h"
#include "model/walk.h"

#include <cassert>
#include <cmath>
#include <new>

namespace wendrel {

namespace {

// value + value², rounded once to float. The square of a float is exact in double, and a
// two-sum recovers what the double addition rounds away, so that a double rounding can be
// corrected where the double sum lands exactly halfway between two floats.
float square_plus(float value) {
	double v = value;
	double square = v * v;
	double sum = square + v;
	double sum_part = sum - square;
	double error = (square - (sum - sum_part)) + (v - sum_part);
	float rounded = float(sum);
	if (error == 0.0 || double(rounded) == sum || !std::isfinite(rounded))
		return rounded;
	float other = nextafterf(rounded, double(rounded) < sum ? INFINITY : -INFINITY);
	if ((double(rounded) + double(other)) * 0.5 != sum)
		return rounded;
	// A tie in double is no tie in the exact sum: the error says which side it lies on.
	bool exact_above = error > 0.0;
	bool rounded_above = double(rounded) > sum;
	return exact_above == rounded_above ? rounded : other;
}

// Saturating arithmetic for the closed-form sizes: anything at or above the cap is too large.
constexpr int64_t SIZE_CAP = int64_t(1) << 62;

int64_t add_sat(int64_t a, int64_t b) {
	return a >= SIZE_CAP - b ? SIZE_CAP : a + b;
}

int64_t mul_sat(int64_t a, int64_t b) {
	if (a == 0 || b == 0)
		return 0;
	return a >= SIZE_CAP / b ? SIZE_CAP : a * b;
}

int64_t skeleton_branches(int32_t branches_count, int32_t trunk_height) {
	// Below one level the root splits once into two leaves, whatever the trunk height.
	if (branches_count <= 0)
		return 3;
	if (branches_count > 60)
		return SIZE_CAP;
	int64_t steps = trunk_height > 0 ? trunk_height : 0;
	int64_t side = int64_t(1) << (branches_count + 1);
	return add_sat(2 * side - 1, mul_sat(steps, side));
}

bool fits_elements(int64_t count, int64_t element_size) {
	return count <= MAX_ARRAY_BYTES / element_size;
}

} // namespace

TreeProperties::TreeProperties(float p_branch_clump_max, float p_branch_clump_min,
		float p_branch_length_falloff, float p_branch_length_exponent, float p_branch_factor,
		float p_radius_falloff_rate, float p_climb_rate, float p_trunk_kink, float p_max_radius,
		int32_t p_trunk_height, float p_trunk_taper, float p_twist, int32_t p_segments,
		int32_t p_branches_count, float p_sweep_amount, float p_branch_length,
		float p_trunk_length, float p_drop_amount, float p_grow_amount, float p_uv_multiplier,
		float p_twig_scale, int32_t p_seed) :
		branch_clump_max(p_branch_clump_max),
		branch_clump_min(p_branch_clump_min),
		branch_length_falloff(p_branch_length_falloff),
		branch_length_exponent(p_branch_length_exponent),
		branch_factor(p_branch_factor),
		radius_falloff_rate(p_radius_falloff_rate),
		climb_rate(p_climb_rate),
		trunk_kink(p_trunk_kink),
		max_radius(p_max_radius),
		trunk_height(p_trunk_height),
		trunk_taper(p_trunk_taper),
		twist(p_twist),
		segments(p_segments),
		branches_count(p_branches_count),
		sweep_amount(p_sweep_amount),
		branch_length(p_branch_length),
		trunk_length(p_trunk_length),
		drop_amount(p_drop_amount),
		grow_amount(p_grow_amount),
		uv_multiplier(p_uv_multiplier),
		twig_scale(p_twig_scale),
		seed(p_seed) {}

float TreeProperties::random(float value) {
	if (value == 0.0f) {
		value = float(random_state);
		random_state = int32_t(uint32_t(random_state) + 1u); // wraps instead of overflowing
	}
	return fabsf(cosf(square_plus(value)));
}

int64_t effective_segments(int32_t segments) {
	int64_t count = segments < 2 ? 2 : segments;
	return count + (count & 1);
}

TreeSize measure_tree(const TreeProperties &p) {
	TreeSize size;
	size.branches = skeleton_branches(p.branches_count, p.trunk_height);
	size.forks = (size.branches - 1) / 2;
	size.leaves = size.forks + 1;
	size.segments = effective_segments(p.segments);
	int64_t s = size.segments;
	int64_t per_fork = 3 * (s / 2) - 1;
	size.vertex_count = add_sat(s, add_sat(mul_sat(size.forks, per_fork), size.leaves));
	// Every bark vertex but the tips (whose u is never 0) may get one seam twin.
	size.max_vertex_count = add_sat(size.vertex_count, size.vertex_count - size.leaves);
	size.twig_vertex_count = mul_sat(8, size.leaves);
	size.twig_face_count = mul_sat(4, size.leaves);
	int64_t leaf_parents = size.leaves / 2;
	int64_t fork_parents = size.forks - leaf_parents;
	size.face_count = add_sat(mul_sat(2, s),
			add_sat(mul_sat(mul_sat(4, s), fork_parents), mul_sat(mul_sat(2, s), leaf_parents)));
	size.fits = fits_elements(size.max_vertex_count, sizeof(Vec3)) &&
			fits_elements(size.twig_vertex_count, sizeof(Vec3)) &&
			fits_elements(size.face_count, sizeof(Face)) &&
			fits_elements(size.twig_face_count, sizeof(Face));
	return size;
}

int32_t TreeModel::ring_segments() const {
	return int32_t(effective_segments(segments));
}

TreeModel::~TreeModel() {
	reset();
}

void TreeModel::destroy_skeleton() {
	if (!root)
		return;
	root->destroy();
	delete root;
	root = nullptr;
}

void TreeModel::reset() {
	vertex_count = twig_vertex_count = face_count = twig_face_count = 0;
	destroy_skeleton();
	release_array(vertices, capacity.vertices);
	release_array(normals, capacity.normals);
	release_array(uvs, capacity.uvs);
	release_array(twig_vertices, capacity.twig_vertices);
	release_array(twig_normals, capacity.twig_normals);
	release_array(twig_uvs, capacity.twig_uvs);
	release_array(faces, capacity.faces);
	release_array(twig_faces, capacity.twig_faces);
}

void TreeModel::recycle() {
	vertex_count = twig_vertex_count = face_count = twig_face_count = 0;
	destroy_skeleton();
}

void TreeModel::generate() {
	// Refuse before touching anything, so that a failed generation keeps the previous result.
	if (!measure_tree(*this).fits)
		throw std::bad_alloc();
	recycle();
	grow_skeleton();
	count_vertices(nullptr);
	allocate_buffers();
	build_rings(nullptr, 0.0f);
	build_twigs(nullptr);
	count_faces(nullptr);
	allocate_faces();
	build_faces(nullptr);
	// Nothing after the faces reads the skeleton: freeing it here lowers the peak memory.
	destroy_skeleton();
	compute_normals();
	split_uv_seam();
}

void TreeModel::grow_skeleton() {
	destroy_skeleton();
	random_state = seed;
	root = new Branch(0.0f, trunk_length, 0.0f, nullptr);
	root->length = branch_length;
	split_branch(root, branches_count, trunk_height, this, 1, 1);
}

void TreeModel::count_vertices(Branch *branch) {
	int32_t s = ring_segments();
	visit_preorder(branch ? branch : root, [&](Branch *b) {
		if (!b->parent)
			vertex_count += s; // foot ring
		if (b->is_leaf()) {
			vertex_count += 1;		// tip
			twig_vertex_count += 8; // one twig card
			twig_face_count += 4;
		} else {
			vertex_count += 3 * (s / 2) - 1; // the fork's three shared rings
		}
	});
}

void TreeModel::count_faces(Branch *branch) {
	int32_t s = ring_segments();
	visit_preorder(branch ? branch : root, [&](Branch *b) {
		if (b->is_leaf())
			return;
		if (!b->parent)
			face_count += 2 * s; // foot ring to the root's fork
		// The rings pass gives rings exactly to forks: a fork's children are tubes to two
		// further forks, or cones to two tips.
		face_count += b->child0->ring0 ? 4 * s : 2 * s;
	});
}

void TreeModel::allocate_buffers() {
	provide_array(vertices, capacity.vertices, vertex_count);
	provide_array(normals, capacity.normals, vertex_count);
	provide_array(uvs, capacity.uvs, vertex_count);
	provide_array(twig_vertices, capacity.twig_vertices, twig_vertex_count);
	provide_array(twig_normals, capacity.twig_normals, twig_vertex_count);
	provide_array(twig_uvs, capacity.twig_uvs, twig_vertex_count);
	provide_array(twig_faces, capacity.twig_faces, twig_face_count);
	vertex_count = twig_vertex_count = twig_face_count = 0;
}

void TreeModel::allocate_faces() {
	provide_array(faces, capacity.faces, face_count);
	face_count = 0;
}

Surface bark_surface(const TreeModel &model) {
	return Surface{ model.vertex_count, model.vertices, model.normals, model.uvs, model.face_count, model.faces };
}

Surface twig_surface(const TreeModel &model) {
	return Surface{ model.twig_vertex_count, model.twig_vertices, model.twig_normals, model.twig_uvs,
		model.twig_face_count, model.twig_faces };
}

} // namespace wendrel
