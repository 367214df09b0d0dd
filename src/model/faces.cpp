// The faces pass: bark triangles between the rings, and the bark texture coordinates.
//
// Reads the skeleton with its rings, `vertices`, `segments`, `uv_multiplier` and `max_radius`.
// Writes `faces` (2n for the root tube, 4n per fork with fork children, 2n per fork with leaf
// children, n = segments: exactly what count_faces counted) and one `uvs` entry per bark
// vertex. u runs once around every ring and is carried from ring to ring; v grows with the
// distance climbed.
#include "model/math/exact_math.h"
#include "model/normals.h"
#include "model/subtrees.h"
#include "model/tree_model.h"

#include <cassert>
#include <cmath>
#include <initializer_list>

namespace wendrel {

namespace {

struct FaceWriter {
	TreeModel &m;
	int32_t n;
	int32_t next_face;
	NormalSums *sums;			  // null when the normals come later; else finished fork by fork
	int32_t unsummed = next_face; // the first face not yet added to `sums`
	VectorBatch batch{};

	// Ring entry at position `position`, which runs modulo the ring size. The passes' positions
	// are an offset below n + 1 plus a step below n + 1, so two subtractions do the work of
	// an integer division.
	int32_t at(const int32_t *ring, int32_t position) const {
		if (position >= n)
			position -= n;
		if (position >= n)
			position -= n;
		assert(position >= 0 && position < n);
		return ring[position];
	}

	void face(int32_t a, int32_t b, int32_t c) {
		Face &f = m.faces[next_face++];
		f.index[0] = a;
		f.index[1] = b;
		f.index[2] = c;
	}

	float distance(int32_t a, int32_t b) const { return length(m.vertices[a] - m.vertices[b]); }

	// Once a fork's triangles are written, its own vertices have all theirs (its parent's
	// came before).
	void finish_fork(const Branch *node, bool children_are_forks) {
		add_normals();
		if (sums)
			sums->finish_fork(node->ring0[0], n, children_are_forks);
	}

	// Leaves room for `count` faces that another writer fills.
	void skip(int32_t count) {
		assert(unsummed == next_face);
		next_face += count;
		unsummed = next_face;
	}

	// Adds the faces written since the last call to the sums, in their order.
	void add_normals() {
		if (sums)
			sums->add_all(m.faces + unsummed, next_face - unsummed, batch);
		unsummed = next_face;
	}
};

// The foot-ring position that lines up with position 0 of the root's fork ring: the angle
// from -x to the first fork's plane normal, about the trunk.
int32_t foot_ring_offset(const Branch *root, int32_t n) {
	Vec3 normal = normalize(cross(root->child0->head - root->head, root->child1->head - root->head));
	Vec3 trunk = normalize(root->head);
	Vec3 reference(-1.0f, 0.0f, 0.0f);
	// Rounding can push a unit dot product a hair past ±1, where arc cosine has no answer.
	float cosine = fminf(fmaxf(dot(normal, reference), -1.0f), 1.0f);
	float theta = exact_acos(cosine);
	if (dot(trunk, cross(reference, normal)) > 0.0f)
		theta = 2.0f * PI - theta;
	return int32_t(floorf(theta / PI * 0.5f * float(n) + 0.5f));
}

void root_step(FaceWriter &w, const Branch *root) {
	TreeModel &m = w.m;
	int32_t n = w.n;
	int32_t k0 = foot_ring_offset(root, n);
	const int32_t *ring0 = root->ring0;
	const int32_t *foot = root->root_ring;
	for (int32_t i = 0; i < n; i++) {
		int32_t l = k0 + i;
		float u = float(i) / float(n);
		w.face(ring0[i], w.at(ring0, i + 1), w.at(foot, l));
		w.face(w.at(ring0, i + 1), w.at(foot, l + 1), w.at(foot, l));
		m.uvs[w.at(foot, l)] = Vec2(u, 0.0f);
		float d = w.distance(ring0[i], w.at(foot, l));
		Vec2 uv(u, d * m.uv_multiplier);
		m.uvs[ring0[i]] = uv;
		m.uvs[root->ring2[i]] = uv;
	}
	w.add_normals();
	if (w.sums) {
		for (int32_t i = 0; i < n; i++)
			w.sums->finish_vertex(foot[i], 3); // each foot ring position is a corner of 3 triangles
	}
}

// The ring position of `child` that best continues position 0 of the fork ring `fork_ring`:
// the highest score wins, the lowest position among equal scores. `directions` holds the unit
// directions from the child's head to its ring0, then from the fork's head to
// fork_ring[0] and to the child's head.
int32_t aligned_position(int32_t n, const VectorBatch &directions, size_t from) {
	Vec3 first = directions.get(from + size_t(n));
	Vec3 axis = directions.get(from + size_t(n) + 1);
	Vec3 across = first - axis * dot(first, axis);
	int32_t best = 0;
	float best_score = 0.0f;
	for (int32_t i = 0; i < n; i++) {
		float score = dot(across, directions.get(from + size_t(i)));
		if (i == 0 || score > best_score) {
			best = i;
			best_score = score;
		}
	}
	return n - best;
}

// The ring offsets of both children, their directions normalised together.
void aligned_positions(FaceWriter &w, const Branch *node, int32_t &f, int32_t &g) {
	const Vec3 *vertices = w.m.vertices;
	VectorBatch &batch = w.batch;
	size_t n = size_t(w.n);
	batch.reserve(2 * (n + 2));
	size_t k = 0;
	for (const Branch *child : { node->child0, node->child1 }) {
		for (size_t i = 0; i < n; i++)
			batch.set(k++, vertices[child->ring0[i]] - child->head);
		const int32_t *fork_ring = child == node->child0 ? node->ring1 : node->ring2;
		batch.set(k++, vertices[fork_ring[0]] - node->head);
		batch.set(k++, child->head - node->head);
	}
	batch.normalize_first(k);
	f = aligned_position(w.n, batch, 0);
	g = aligned_position(w.n, batch, n + 2);
}

// Carries u from the fork ring to the child's ring and adds the climbed distance `d` to v,
// scaled so that thinner branches get more texture per unit length.
void carry_uv(FaceWriter &w, const int32_t *fork_ring, int32_t offset, const Branch *child, int32_t j, float scale,
		float d) {
	TreeModel &m = w.m;
	Vec2 start = m.uvs[w.at(fork_ring, offset + j - 1)];
	float v = start.v + scale * d * m.uv_multiplier;
	// A radius that underflows towards 0 makes the scale overflow: the texture stops
	// climbing there rather than turning infinite.
	if (!std::isfinite(v))
		v = start.v;
	m.uvs[child->ring0[j]] = Vec2(start.u, v);
	m.uvs[child->ring2[j]] = Vec2(start.u, v);
}

void fork_step(FaceWriter &w, const Branch *node) {
	const Branch *c0 = node->child0;
	const Branch *c1 = node->child1;
	int32_t f, g;
	aligned_positions(w, node, f, g);
	float scale = w.m.max_radius / node->radius;
	// A zero maximum radius gives every branch radius 0: keep the texture unscaled then.
	if (!std::isfinite(scale))
		scale = 1.0f;
	int32_t n = w.n;
	for (int32_t j = 0; j < n; j++) {
		w.face(c0->ring0[j], w.at(c0->ring0, j + 1), w.at(node->ring1, f + j));
		w.face(w.at(c0->ring0, j + 1), w.at(node->ring1, f + j + 1), w.at(node->ring1, f + j));
		w.face(c1->ring0[j], w.at(node->ring2, g + j + 1), w.at(node->ring2, g + j));
		w.face(c1->ring0[j], w.at(c1->ring0, j + 1), w.at(node->ring2, g + j + 1));
	}
	// The distances each child climbs from the fork ring, all rooted at once; no texture
	// coordinate they give is read back in this step.
	const Vec3 *vertices = w.m.vertices;
	VectorBatch &climb = w.batch;
	climb.reserve(2 * size_t(n));
	for (int32_t j = 0; j < n; j++) {
		climb.set(size_t(j), vertices[c0->ring0[j]] - vertices[w.at(node->ring1, f + j)]);
		climb.set(size_t(n + j), vertices[c1->ring0[j]] - vertices[w.at(node->ring2, g + j)]);
	}
	climb.length_first(2 * size_t(n));
	for (int32_t j = 0; j < n; j++) {
		carry_uv(w, node->ring1, f, c0, j, scale, climb.x[size_t(j)]);
		carry_uv(w, node->ring2, g, c1, j, scale, climb.x[size_t(n + j)]);
	}
	w.finish_fork(node, true);
}

// Closes both leaf children with cones from the fork rings to their tips. The tips keep the
// u of the last position: -1/n and (n-1)/n, the same place on a repeating texture, and the v
// of their distance to it.
void tip_step(FaceWriter &w, const Branch *node) {
	TreeModel &m = w.m;
	int32_t a = node->child0->end_index;
	int32_t b = node->child1->end_index;
	for (int32_t i = 0; i < w.n; i++) {
		w.face(a, w.at(node->ring1, i + 1), node->ring1[i]);
		w.face(b, w.at(node->ring2, i + 1), node->ring2[i]);
	}
	int32_t last = w.n - 1;
	float u = float(last) / float(w.n);
	m.uvs[a] = Vec2(u - 1.0f, w.distance(a, node->ring1[last]) * m.uv_multiplier);
	m.uvs[b] = Vec2(u, w.distance(b, node->ring2[last]) * m.uv_multiplier);
	w.finish_fork(node, false);
	if (w.sums) {
		w.sums->finish_vertex(a, w.n);
		w.sums->finish_vertex(b, w.n);
	}
}

} // namespace

void TreeModel::fill_faces(Branch *start, const SubtreePlan &plan, NormalSums *sums) {
	auto step = [](FaceWriter &writer, Branch *node) {
		if (node->is_leaf())
			return;
		if (!node->parent)
			root_step(writer, node);
		if (node->child0->ring0)
			fork_step(writer, node);
		else
			tip_step(writer, node);
	};
	int32_t n = ring_segments();
	// The top first: its triangles precede the subtrees' in every vertex's sum (a subtree's
	// root ring is shared with its parent's tube), as in one depth-first walk.
	FaceWriter top{ *this, n, face_count, sums };
	visit_top(
			start, plan, [&](Branch *b) { step(top, b); }, [&](const Subtree &s) { top.skip(int32_t(pass_counts(s.span, n).faces)); });
	face_count = top.next_face;
	plan.for_each_subtree([&](size_t i) {
		const Subtree &s = plan.subtrees[i];
		FaceWriter own{ *this, n, int32_t(pass_starts(s.before, n).faces), sums };
		visit_preorder(s.root, [&](Branch *b) { step(own, b); });
	});
}

} // namespace wendrel
