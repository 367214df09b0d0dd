#include "model/tree_model.h"
// Placeholder until the generator lands: keeps the library linkable.
namespace wendrel {
TreeModel::~TreeModel() {}
void TreeModel::generate() {}
TreeSize measure_tree(const TreeProperties &) { return TreeSize(); }
int64_t effective_segments(int32_t s) { return s; }
} // namespace wendrel
