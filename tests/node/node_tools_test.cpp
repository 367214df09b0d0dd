// The node's tools against the stand-in: a preset takes one growth for all its values, and
// the preset resource keeps an integer beyond 32 bits huge rather than wrapping it.
#include "node_test_support.h"

#include "model/presets.h"
#include "Wendrel3DPreset.h"

#include <climits>

namespace wendrel::test {
namespace {

using godot::Ref;

// Trap: a preset applied one property at a time, which grows a tree per value (and could
// refuse a value that only the values after it make buildable).
TEST_F(NodeTest, APresetAppliesInOneGrowth) {
	const TreeProperties &conifer = find_preset("conifer")->properties;
	Ref<Wendrel3DPreset> preset;
	preset.instantiate();
	preset->set_properties(conifer);
	godot::stub::clear_calls();
	EXPECT_EQ(node->apply_preset(preset), godot::OK);
	EXPECT_EQ(count_calls("Object.emit_signal"), 1u) << "one tree_grown";
	EXPECT_EQ(count_calls("MeshInstance3D.set_mesh"), 2u) << "one mesh per surface";
	EXPECT_EQ(digest(node->get_model()), digest(*generated_like(conifer)));
	EXPECT_EQ(digest(node->get_model()), digest(*generated_like(node->make_preset()->get_properties())));
	EXPECT_EQ(node->apply_preset(Ref<Wendrel3DPreset>()), godot::ERR_INVALID_PARAMETER);
	EXPECT_EQ(godot::stub::errors().size(), 1u);
}

size_t row_index(const char *p_name) {
	return size_t(find_property(p_name) - property_table().begin());
}

TEST(PresetTest, IntegersBeyond32BitsClampAndOnlyNodeParametersAreSet) {
	godot::stub::reset();
	Ref<Wendrel3DPreset> preset;
	preset.instantiate();
	const int64_t height = int64_t(row_index("trunk_height"));
	preset->set_parameter(height, godot::Variant((int64_t(1) << 32) + 5));
	EXPECT_EQ(preset->get_properties().trunk_height, INT32_MAX);
	preset->set_parameter(height, godot::Variant(-(int64_t(1) << 40)));
	EXPECT_EQ(preset->get_properties().trunk_height, INT32_MIN);
	EXPECT_EQ(int64_t(preset->get_parameter(height)), int64_t(INT32_MIN));
	preset->set_parameter(int64_t(row_index("trunk_taper")), godot::Variant(0.6));
	EXPECT_EQ(preset->get_properties().trunk_taper, TreeProperties().trunk_taper);
	EXPECT_EQ(godot::stub::errors().size(), 1u) << "the taper is no node parameter";
	godot::stub::reset();
}

} // namespace
} // namespace wendrel::test
