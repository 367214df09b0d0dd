// Wendrel3D's engine-free tree generator.
//
// A TreeModel turns 26 parameters and a seed into two surfaces held in flat arrays: the bark
// (vertices, normals, uvs, faces) and the twig cards (twig_vertices, twig_normals, twig_uvs,
// twig_faces). Equal parameters give bit-identical arrays. After generate() every array holds
// exactly as many elements as its counter says; the arrays stay valid until the next
// generate() or the model's destruction.
#pragma once

#include "model/game_records.h"
#include "model/geometry.h"
#include "model/properties.h"
#include "model/sizes.h"
#include "model/skeleton.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace wendrel {

class NormalSums;
struct SubtreePlan;
struct TreeModelSteps;

struct TreeModel : TreeProperties {
	Branch *root = nullptr; // the skeleton, present only while generate() runs

	// Threads generate() may use, the calling one included. The output is the same for any
	// count; 1 keeps the whole generation on the calling thread.
	int32_t thread_count = 1;

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

	// When set, generate() checks the flag between its steps and while the skeleton grows;
	// once another thread has raised it, generate() frees what it built and returns early,
	// leaving empty arrays.
	const std::atomic<bool> *cancel = nullptr;

	// Data for games (see game_records.h), each filled by generate() only when asked for, and
	// emptied by a generation that does not ask for it. Neither changes the arrays above.
	bool with_wind = false;
	bool with_collision = false;
	std::vector<WindRecord> wind;					  // one per bark vertex, in the order of `vertices`
	std::vector<WindRecord> twig_wind;				  // one per twig vertex, in the order of `twig_vertices`
	std::vector<CollisionSegment> collision_segments; // one per branch, depth first

	TreeModel() = default;
	~TreeModel();
	TreeModel(const TreeModel &) = delete;
	TreeModel &operator=(const TreeModel &) = delete;

	// The parameters as one record, the random function's running state included.
	void set_properties(const TreeProperties &properties) { static_cast<TreeProperties &>(*this) = properties; }
	const TreeProperties &properties() const { return *this; }

	// Regenerates every array from the parameters. A tree that measure_tree() refuses throws
	// before anything is freed or allocated, so the previous result stays intact:
	// std::bad_alloc when its arrays would not fit, std::domain_error naming the field at
	// fault when its geometry would overflow.
	void generate();

	// Frees the previous result and zeroes the counters.
	void reset();

	// Zeroes the counters and frees the skeleton, keeping the arrays' storage for reuse.
	void recycle();

	// The ring size of the current parameters, as the passes use it.
	int32_t ring_segments() const;

private:
	friend struct TreeModelSteps; // the steps one by one, for the tests (model/steps.h)

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

	SkeletonStorage skeleton;

	// The triangles as they were before the seam split rewired some corners to twins: the
	// twins' sources, for the wind records. Kept only while generate() runs with_wind.
	std::vector<Face> faces_before_seam;

	void destroy_skeleton();
	// The passes over a tree cut into subtrees (see subtrees.h); an empty plan walks the whole
	// tree below `start` on the calling thread.
	// Stops early, with the skeleton unfinished, once `stop` is raised.
	void grow_skeleton(SubtreePlan &plan, const TreeSize &size, const std::atomic<bool> *stop);
	void allocate_buffers(const TreeSize &size, const SubtreePlan &plan);
	void allocate_faces(const SubtreePlan &plan);
	void fill_rings(Branch *start, const SubtreePlan &plan);
	void fill_twigs(Branch *start, const SubtreePlan &plan);
	// Adds every triangle to `sums` as it is written, when given, and makes each vertex's sum
	// its mean once the vertex has all its triangles.
	void fill_faces(Branch *start, const SubtreePlan &plan, NormalSums *sums);
	void split_uv_seam(const SubtreePlan &plan);
	// Reads the skeleton (after the faces pass) for the data for games that is asked for...
	void collect_game_data();
	// ...and gives the seam split's twins the wind records of the vertices they copy.
	void finish_game_data();
	bool stop_if_cancelled(); // true, after a reset(), when cancel is raised
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
