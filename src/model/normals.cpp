// The normals pass: every bark vertex gets the mean of the unit normals of its triangles.
//
// Reads `vertices`, `faces` and the counts; writes normals[0 .. vertex_count-1]. The mean is
// not renormalised: where the triangles around a vertex bend, its normal is shorter than 1.
// generate() adds the triangles while the faces pass writes them (see normals.h).
#include "model/normals.h"

#include "model/storage.h"
#include "model/subtrees.h"

#include <algorithm>

namespace wendrel {

NormalSums::NormalSums(TreeModel &model, const SubtreePlan &plan, Uses uses_from) :
		vertices(model.vertices),
		normals(model.normals),
		vertex_count(model.vertex_count) {
	if (uses_from == Uses::COUNTED)
		uses = new_scratch_array<int32_t>(size_t(model.vertex_count));
	plan.for_each_piece(vertex_count, [&](int64_t begin, int64_t end) {
		std::fill(normals + begin, normals + end, Vec3(0.0f, 0.0f, 0.0f));
		if (uses)
			std::fill(uses.get() + begin, uses.get() + end, 0);
	});
}

void NormalSums::finish(const SubtreePlan &plan) {
	plan.for_each_piece(vertex_count, [&](int64_t begin, int64_t end) {
		for (int64_t k = begin; k < end; k++) {
			// A vertex no triangle uses keeps the zero normal rather than dividing by zero.
			if (uses[k] == 0)
				continue;
			float inverse = 1.0f / float(uses[k]);
			normals[k] = normals[k] * inverse;
		}
	});
}

void TreeModel::compute_normals() {
	SubtreePlan calling_thread;
	NormalSums sums(*this, calling_thread, NormalSums::Uses::COUNTED);
	for (int32_t i = 0; i < face_count; i++)
		sums.add(faces[i]);
	sums.finish(calling_thread);
}

} // namespace wendrel
