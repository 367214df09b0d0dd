// The generation driver: the order of the passes and the storage of the output arrays.
#include "model/tree_model.h"

#include "model/normals.h"
#include "model/storage.h"
#include "model/subtrees.h"

#include <algorithm>
#include <cassert>
#include <new>
#include <stdexcept>
#include <string>

namespace wendrel {

namespace {

// Maps fresh output storage in pieces spread over the plan's threads: the kernel's work per
// page is most of what a first generation spends beyond a regeneration.
void map_pages(const std::vector<PageRange> &fresh, const SubtreePlan &plan) {
	const size_t piece_bytes = size_t(32) << 20;
	std::vector<PageRange> pieces;
	for (const PageRange &range : fresh) {
		// A small array takes few faults (and must not wake threads).
		if (range.bytes < piece_bytes / 4)
			continue;
		char *data = static_cast<char *>(range.data);
		for (size_t at = 0; at < range.bytes; at += piece_bytes)
			pieces.push_back(PageRange{ data + at, std::min(piece_bytes, range.bytes - at) });
	}
	plan.for_each(pieces.size(), [&](size_t i) { map_for_writing(pieces[i].data, pieces[i].bytes); });
}

} // namespace

TreeModel::~TreeModel() {
	reset();
}

void TreeModel::destroy_skeleton() {
	skeleton.release();
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
	wind = {};
	twig_wind = {};
	collision_segments = {};
}

void TreeModel::recycle() {
	vertex_count = twig_vertex_count = face_count = twig_face_count = 0;
	destroy_skeleton();
}

void TreeModel::generate() {
	// Refuse before touching anything, so that a failed generation keeps the previous result.
	TreeSize size = measure_tree(*this);
	if (size.fault)
		throw std::domain_error(std::string(size.fault->field) + " " + size.reason);
	if (!size.fits)
		throw std::bad_alloc();
	recycle();
	SubtreePlan plan = SubtreePlan::for_tree(thread_count, size.forks);
	grow_skeleton(plan, size, cancel);
	if (stop_if_cancelled())
		return;
	// The closed form gives what the counting walks would count, without walking the tree.
	vertex_count = int32_t(size.vertex_count);
	twig_vertex_count = int32_t(size.twig_vertex_count);
	twig_face_count = int32_t(size.twig_face_count);
	allocate_buffers(size, plan);
	root->radius = 0.0f; // the maximum radius
	fill_rings(root, plan);
	fill_twigs(root, plan);
	if (stop_if_cancelled())
		return;
	face_count = int32_t(size.face_count);
	allocate_faces(plan);
	NormalSums sums(vertices, normals, vertex_count, plan, NormalSums::Uses::FROM_RINGS);
	fill_faces(root, plan, &sums);
	// The passes' write cursors end where the closed form says the arrays end.
	assert(vertex_count == size.vertex_count && face_count == size.face_count);
	assert(twig_vertex_count == size.twig_vertex_count && twig_face_count == size.twig_face_count);
	collect_game_data();
	// Nothing after the faces reads the skeleton: freeing it here lowers the peak memory.
	destroy_skeleton();
	if (stop_if_cancelled())
		return;
	split_uv_seam(plan);
	finish_game_data();
}

int32_t TreeModel::ring_segments() const {
	return int32_t(effective_segments(segments));
}

bool TreeModel::stop_if_cancelled() {
	if (!cancel || !cancel->load(std::memory_order_relaxed))
		return false;
	reset();
	return true;
}

void TreeModel::grow_skeleton(SubtreePlan &plan, const TreeSize &size, const std::atomic<bool> *stop) {
	destroy_skeleton();
	random_state = seed;
	skeleton.reserve(size.branches, size.forks, size.segments);
	root = skeleton.place_branch(0, Vec3(0.0f, trunk_length, 0.0f), nullptr);
	root->length = branch_length;
	grow_tree(root, branches_count, trunk_height, *this, skeleton, plan, stop);
	// A stopped growth leaves records unconstructed; a stop raised after the end costs
	// nothing but the rings pass's lookahead.
	if (!stop || !stop->load(std::memory_order_relaxed))
		skeleton.mark_grown();
}

void TreeModel::allocate_buffers(const TreeSize &size, const SubtreePlan &plan) {
	// Room for every twin the seam split may add, so that it never moves the arrays. Pages
	// beyond the used ones are never touched, so they cost address space only.
	int32_t room = int32_t(size.max_vertex_count);
	assert(room >= vertex_count);
	std::vector<PageRange> fresh;
	provide_array(vertices, capacity.vertices, room, vertex_count, fresh);
	provide_array(normals, capacity.normals, room, vertex_count, fresh);
	provide_array(uvs, capacity.uvs, room, vertex_count, fresh);
	provide_array(twig_vertices, capacity.twig_vertices, twig_vertex_count, twig_vertex_count, fresh);
	provide_array(twig_normals, capacity.twig_normals, twig_vertex_count, twig_vertex_count, fresh);
	provide_array(twig_uvs, capacity.twig_uvs, twig_vertex_count, twig_vertex_count, fresh);
	provide_array(twig_faces, capacity.twig_faces, twig_face_count, twig_face_count, fresh);
	map_pages(fresh, plan);
	vertex_count = twig_vertex_count = twig_face_count = 0;
}

void TreeModel::allocate_faces(const SubtreePlan &plan) {
	std::vector<PageRange> fresh;
	provide_array(faces, capacity.faces, face_count, face_count, fresh);
	map_pages(fresh, plan);
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
