// What a run will cost, known before anything is grown: the memory the tree takes as the
// generator builds it, from the closed-form sizes. Every file the tool writes grows with the
// tree (a .json to about two and a half times it), so bounding the tree bounds the files. The
// preview's drawing grows with the tree and the image together, and is bounded on its own.
#pragma once

#include "model/sizes.h"

#include <cstdint>
#include <string>

namespace wendrel {

// The budget when none is given: above what the largest tree the inspector ranges allow takes
// (the largest counts, 10-sided bark and eight crossed twig cards per tip: about 5.2 GiB by
// this estimate), below trees past them (trunk_branches_count 20: 9.6 GiB).
constexpr int64_t DEFAULT_BUDGET_MIB = 8192;

// An upper bound on the bytes of the model's arrays and the records it keeps per branch.
int64_t estimate_tree_bytes(const TreeSize &size, bool wind);

// A lower bound on the bytes of a .glb of the tree: its vertex and index data alone.
int64_t least_glb_bytes(const TreeSize &size, bool wind);

// Why a run over the budget is refused, with the estimate and how to raise the budget; ""
// when the tree fits the budget and any .glb fits the format.
std::string budget_problem(const TreeSize &size, bool wind, bool writes_glb, int64_t budget_mib);

// What drawing a width x height preview of the tree costs, counted in the budget's bytes:
// the rasteriser's buffers, and the samples its span walks visit, each counted as the bytes a
// tree grows in the time one sample takes to draw.
int64_t estimate_preview_bytes(const TreeSize &size, int width, int height);

// Why a preview over the budget is refused, with the estimate and how to raise the budget; ""
// when it fits.
std::string preview_problem(const TreeSize &size, int width, int height, int64_t budget_mib);

} // namespace wendrel
