#include "mesh_checks.h"

namespace wendrel::test {

::testing::AssertionResult validate_mesh(const TreeModel &m) {
	const std::string finding = fuzz::mesh_finding(m);
	if (!finding.empty())
		return ::testing::AssertionFailure() << finding;
	return ::testing::AssertionSuccess();
}

void generate_with(TreeModel &model, const TreeProperties &properties) {
	model.set_properties(properties);
	model.generate();
}

// The node's parameters in table order, each from its inspector range, except the three that
// set the tree's size: ring size, forks and trunk steps come from narrower ranges.
TreeProperties random_properties(std::mt19937 &rng) {
	auto whole = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
	TreeProperties p;
	for (const PropertyRow &row : property_table()) {
		if (!row.on_node) {
			continue;
		}
		if (row.type == PropertyType::REAL) {
			p.*row.float_field = std::uniform_real_distribution<float>(float(row.min), float(row.max))(rng);
		} else if (row.int_field == &TreeProperties::segments) {
			p.segments = 2 * whole(1, 5);
		} else if (row.int_field == &TreeProperties::branches_count) {
			p.branches_count = whole(1, 6);
		} else if (row.int_field == &TreeProperties::trunk_height) {
			p.trunk_height = whole(0, 30);
		} else {
			p.*row.int_field = whole(int(row.min), int(row.max));
		}
	}
	return p;
}

} // namespace wendrel::test
