#include "model/steps.h"

#include "model/normals.h"
#include "model/subtrees.h"

namespace wendrel {

void TreeModelSteps::grow_skeleton(TreeModel &model) {
	SubtreePlan whole;
	model.grow_skeleton(whole, measure_tree(model), nullptr);
}

void TreeModelSteps::count_vertices(TreeModel &model, Branch *branch) {
	VertexCounts counts = wendrel::count_vertices(
			branch ? branch : model.root, model.ring_segments(), twig_cards_per_leaf(model));
	model.vertex_count += int32_t(counts.vertices);
	model.twig_vertex_count += int32_t(counts.twig_vertices);
	model.twig_face_count += int32_t(counts.twig_faces);
}

void TreeModelSteps::count_faces(TreeModel &model, Branch *branch) {
	model.face_count += int32_t(wendrel::count_faces(branch ? branch : model.root, model.ring_segments()));
}

void TreeModelSteps::allocate_buffers(TreeModel &model) {
	model.allocate_buffers(measure_tree(model), SubtreePlan());
}

void TreeModelSteps::allocate_faces(TreeModel &model) {
	model.allocate_faces(SubtreePlan());
}

void TreeModelSteps::build_rings(TreeModel &model, Branch *branch, float radius) {
	Branch *start = branch ? branch : model.root;
	start->radius = radius;
	model.fill_rings(start, SubtreePlan());
}

void TreeModelSteps::build_twigs(TreeModel &model, Branch *branch) {
	model.fill_twigs(branch ? branch : model.root, SubtreePlan());
}

void TreeModelSteps::build_faces(TreeModel &model, Branch *branch) {
	model.fill_faces(branch ? branch : model.root, SubtreePlan(), nullptr);
}

void TreeModelSteps::compute_normals(TreeModel &model) {
	SubtreePlan calling_thread;
	NormalSums sums(model.vertices, model.normals, model.vertex_count, calling_thread, NormalSums::Uses::COUNTED);
	for (int32_t i = 0; i < model.face_count; i++)
		sums.add(model.faces[i]);
	sums.finish(calling_thread);
}

void TreeModelSteps::split_uv_seam(TreeModel &model) {
	model.split_uv_seam(SubtreePlan());
}

} // namespace wendrel
