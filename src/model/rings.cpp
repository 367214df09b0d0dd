// The rings pass: bark vertex positions and every branch's rings of vertex indices.
//
// Reads the skeleton, `segments`, `max_radius`, `radius_falloff_rate` and `trunk_taper`.
// Writes `vertices` (the foot ring, segments + h - 1 per fork with h = segments / 2, one tip
// per leaf: exactly what count_vertices counted) and advances `vertex_count` from 0 to that
// count. Every fork gets `ring0`, `ring1` and `ring2`, the root `root_ring`, every leaf
// its `end_index`, every branch its `radius`.
#include "model/lanes.h"
#include "model/math/exact_math.h"
#include "model/subtrees.h"
#include "model/tree_model.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace wendrel {

namespace {

// Far beyond any fork a real frame gives (that needs a frame within 10^-15 of flat), far
// below where squaring a position overflows the normals.
constexpr float MAX_STRETCHED_RADIUS = 1e15f;

// The directions of one fork's frame, from its head, the vector it grew along and its
// children's heads. Written once for one fork (Vec3, float) and for four side by side
// (Vec3Lanes, Lanes), which give the same bits.
template <typename V, typename F>
struct FrameAxes {
	V a1; // from child0's head back to the fork
	V a2; // from child1's head back to the fork
	V a3; // crotch axis
	V t;  // normal of the children's plane
	V d2; // stretch direction of the second child's sweep
	F stretch;
};

template <typename V, typename F>
FrameAxes<V, F> frame_axes(V head, V grown_along, V head0, V head1, F cos_quarter, F sin_quarter) {
	FrameAxes<V, F> f;
	V incoming = normalize(grown_along);
	f.a1 = normalize(head - head0);
	f.a2 = normalize(head - head1);
	f.t = normalize(cross(f.a1, f.a2));
	V bisector = normalize(-f.a1 + -f.a2);
	f.a3 = normalize(cross(f.t, bisector));
	V d1 = rotate_about_axis(f.t, f.a2, cos_quarter, sin_quarter);
	f.d2 = normalize(cross(f.t, incoming));
	f.stretch = F(1.0f) / dot(d1, f.d2);
	return f;
}

using ForkAxes = FrameAxes<Vec3, float>;

Vec3 grown_along(const Branch *b) {
	return b->parent ? b->head - b->parent->head : b->head;
}

// The axes of the forks numbered from `first` on, four at a time where the processor can:
// a fork's directions are a chain of square roots and divisions that waits on itself, and
// four forks' chains run side by side. Growth places the children of the k-th fork at
// records 1 + 2k and 2 + 2k, so the next forks are found without walking the skeleton.
class AxesAhead {
public:
	AxesAhead() = default;
	AxesAhead(const SkeletonStorage &p_storage, float p_cos_quarter, float p_sin_quarter) :
			storage(&p_storage), forks(p_storage.grown_forks()), cos_quarter(p_cos_quarter), sin_quarter(p_sin_quarter) {}

	// The axes of fork `b`, numbered `number`; false when `b` is not where the numbering puts
	// it (rings placed below a branch other than the root) or growth did not finish.
	bool find(const Branch *b, int64_t number, ForkAxes &axes) {
#if WENDREL_HAS_LANES
		if (number < first || number >= first + 4)
			compute(number);
		if (branch[number - first] != b)
			return false;
		axes = ready[number - first];
		return true;
#else
		(void)b;
		(void)number;
		(void)axes;
		return false;
#endif
	}

private:
	const SkeletonStorage *storage = nullptr;
	int64_t forks = 0;
	float cos_quarter = 0.0f;
	float sin_quarter = 0.0f;
	int64_t first = -4;
	const Branch *branch[4] = {};
	ForkAxes ready[4];

#if WENDREL_HAS_LANES
	void compute(int64_t number) {
		first = number;
		if (number >= forks) {
			std::fill(std::begin(branch), std::end(branch), nullptr);
			return;
		}
		Vec3 head[4], along[4], head0[4], head1[4];
		for (int i = 0; i < 4; i++) {
			// Past the last fork a lane repeats the first one, and its result is dropped.
			int64_t k = number + i < forks ? number + i : number;
			const Branch *b = storage->branch(1 + 2 * k)->parent;
			branch[i] = number + i < forks ? b : nullptr;
			head[i] = b->head;
			along[i] = grown_along(b);
			head0[i] = b->child0->head;
			head1[i] = b->child1->head;
		}
		FrameAxes<Vec3Lanes, Lanes> lanes = frame_axes(Vec3Lanes(head), Vec3Lanes(along), Vec3Lanes(head0),
				Vec3Lanes(head1), Lanes(cos_quarter), Lanes(sin_quarter));
		Vec3 a1[4], a2[4], a3[4], t[4], d2[4];
		lanes.a1.store(a1);
		lanes.a2.store(a2);
		lanes.a3.store(a3);
		lanes.t.store(t);
		lanes.d2.store(d2);
		alignas(16) float stretch[4];
		_mm_store_ps(stretch, lanes.stretch.v);
		for (int i = 0; i < 4; i++)
			ready[i] = ForkAxes{ a1[i], a2[i], a3[i], t[i], d2[i], stretch[i] };
	}
#endif
};

// Everything a fork needs that does not change from fork to fork.
struct RingContext {
	TreeModel &model;
	SkeletonStorage &storage;
	int32_t segments;
	int32_t next_vertex;
	int64_t forks_placed; // depth-first number of the next fork
	// cos and sin of j·α for j = 0 .. segments-1, α = 2π / segments: every fork sweeps
	// the same angles, so they are computed once per generation.
	std::vector<float> cos_step;
	std::vector<float> sin_step;
	// note: the crotch frame turns by the fixed 1.57 rad, not by π/2; kept as the
	// tree's look depends on it.
	float cos_quarter;
	float sin_quarter;
	AxesAhead ahead;

	RingContext(TreeModel &p_model, SkeletonStorage &p_storage, int32_t p_segments, int32_t p_next_vertex,
			int64_t p_forks_placed) :
			model(p_model), storage(p_storage), segments(p_segments), next_vertex(p_next_vertex), forks_placed(p_forks_placed), cos_step(size_t(p_segments)), sin_step(size_t(p_segments)) {
		float alpha = 2.0f * PI / float(segments);
		for (int32_t j = 0; j < segments; j++) {
			float angle = float(j) * alpha;
			cos_step[size_t(j)] = exact_cos(angle);
			sin_step[size_t(j)] = exact_sin(angle);
		}
		float quarter = 1.57f;
		cos_quarter = exact_cos(quarter);
		sin_quarter = exact_sin(quarter);
		ahead = AxesAhead(storage, cos_quarter, sin_quarter);
	}

	int32_t append(Vec3 position) {
		model.vertices[next_vertex] = position;
		return next_vertex++;
	}

	Vec3 rotate_step(Vec3 v, Vec3 axis, int32_t j) const {
		return rotate_about_axis(v, axis, cos_step[size_t(j)], sin_step[size_t(j)]);
	}
};

ForkAxes fork_axes(const RingContext &ctx, const Branch *b) {
	return frame_axes(b->head, grown_along(b), b->child0->head, b->child1->head, ctx.cos_quarter, ctx.sin_quarter);
}

// The frame of one fork: its axes, with its centre and ring radius.
struct ForkFrame : ForkAxes {
	Vec3 centre;
	float ring_radius;
};

ForkFrame fork_frame(const RingContext &ctx, const Branch *b, const ForkAxes &axes, float r) {
	const TreeModel &m = ctx.model;
	const Branch *c0 = b->child0;
	ForkFrame f{ axes, Vec3(0.0f, 0.0f, 0.0f), 0.0f };
	float k = -m.max_radius * 0.5f;
	f.centre = b->head + Vec3(f.a2.x, 0.0f, f.a2.z) * k;
	float scale = (b->is_trunk || c0->is_trunk) ? 1.0f / m.trunk_taper : m.radius_falloff_rate;
	f.ring_radius = r * scale;
	// A fork whose children sit on its own head (or a root of height 0) has no frame: the
	// stretch divides by zero, or by a product of tiny components, and would throw the sweep
	// out of the float range. Leave it unstretched.
	if (!(std::fabs(f.stretch * f.ring_radius) <= MAX_STRETCHED_RADIUS))
		f.stretch = 1.0f;
	return f;
}

void place_foot_ring(RingContext &ctx, Branch *root, float r) {
	int32_t n = ctx.segments;
	float q = r / ctx.model.radius_falloff_rate;
	root->root_ring = ctx.storage.foot_ring();
	for (int32_t j = 0; j < n; j++) {
		Vec3 p(-q * ctx.cos_step[size_t(j)], 0.0f, -q * ctx.sin_step[size_t(j)]);
		root->root_ring[j] = ctx.append(p);
	}
}

// Appends the fork's segments + h - 1 vertices: two pivots shared by all three rings, the
// second child's sweep (ring0 and ring2), the first child's sweep (ring0 and ring1) and the
// crotch sweep (ring1 and ring2, in opposite directions).
void place_fork(RingContext &ctx, Branch *b, const ForkFrame &f) {
	int32_t n = ctx.segments;
	int32_t h = n / 2;
	int32_t *ring0 = b->ring0 = ctx.storage.fork_rings(ctx.forks_placed++);
	int32_t *ring1 = b->ring1 = ring0 + n;
	int32_t *ring2 = b->ring2 = ring1 + n;
	auto place = [&](Vec3 v) { return ctx.append(f.centre + v * f.ring_radius); };

	int32_t pivot0 = place(f.t);
	ring0[0] = ring2[0] = pivot0;
	for (int32_t j = 1; j < h; j++) {
		Vec3 v = scale_along_axis(ctx.rotate_step(f.t, f.a2, j), f.d2, f.stretch);
		ring0[j] = ring2[j] = place(v);
	}
	int32_t pivot1 = ctx.append(f.centre - f.t * f.ring_radius);
	ring0[h] = ring1[0] = pivot1;
	for (int32_t i = h + 1; i < n; i++)
		ring0[i] = ring1[i - h] = place(ctx.rotate_step(f.t, f.a1, i));
	ring1[n - h] = pivot0;
	ring2[h] = pivot1;
	for (int32_t j = 1; j < h; j++) {
		int32_t index = place(ctx.rotate_step(f.t, f.a3, j));
		ring1[n - h + j] = index;
		ring2[2 * h - j] = index;
	}
}

void place_branch(RingContext &ctx, Branch *b) {
	const TreeModel &m = ctx.model;
	float radius = b->radius == 0.0f ? m.max_radius : b->radius;
	b->radius = radius;
	float r = radius > b->length ? b->length : radius;
	if (!b->parent)
		place_foot_ring(ctx, b, r);
	if (b->is_leaf()) {
		b->end_index = ctx.append(b->head);
		return;
	}
	ForkAxes axes;
	if (!ctx.ahead.find(b, ctx.forks_placed, axes))
		axes = fork_axes(ctx, b);
	place_fork(ctx, b, fork_frame(ctx, b, axes, r));
	// The children are visited next; their radius field carries what this fork hands them.
	b->child0->radius = r * (b->child0->is_trunk ? m.trunk_taper : m.radius_falloff_rate);
	b->child1->radius = r * m.radius_falloff_rate;
}

} // namespace

void TreeModel::fill_rings(Branch *start, const SubtreePlan &plan) {
	int32_t n = ring_segments();
	RingContext top(*this, skeleton, n, vertex_count, 0);
	visit_top(
			start, plan, [&](Branch *b) { place_branch(top, b); }, [&](const Subtree &s) {
		top.next_vertex += int32_t(pass_counts(s.span, n).vertices);
		top.forks_placed += s.span.forks; });
	vertex_count = top.next_vertex;
	plan.for_each_subtree([&](size_t i) {
		const Subtree &s = plan.subtrees[i];
		RingContext own(*this, skeleton, n, int32_t(pass_starts(s.before, n).vertices), s.before.forks);
		visit_preorder(s.root, [&](Branch *b) { place_branch(own, b); });
	});
}

} // namespace wendrel
