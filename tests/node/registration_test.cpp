// What the engine learns about Wendrel3D: the entry point, the level callbacks, and the
// exact methods, groups, properties and virtuals that scripts, the inspector and saved
// scenes rely on.
#include "extension_entry.h"
#include "node_test_support.h"

#include "model/properties.h"

#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/core/class_db.hpp>

#include <iterator>

extern "C" GDExtensionBool wendrel3d_library_init(GDExtensionInterfaceGetProcAddress p_get_proc_address,
		GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization);

namespace wendrel::test {
namespace {

using godot::stub::ClassRecord;
using godot::stub::MethodRecord;
using godot::stub::PropertyRecord;

struct AccessorRow {
	const char *setter;
	const char *arg_name; // "" for an unnamed argument
	const char *type;	  // the setter's parameter and the getter's result
	const char *getter;
	bool getter_const;
};

const AccessorRow kAccessors[] = {
	{ "set_seed", "", "int32_t", "get_seed", false },
	{ "set_segments", "", "int32_t", "get_segments", false },
	{ "set_branches_count", "count", "int32_t", "get_branches_count", false },
	{ "set_trunk_height", "height", "int32_t", "get_trunk_height", false },
	{ "set_branch_length", "length", "float", "get_branch_length", false },
	{ "set_branch_length_falloff", "length", "float", "get_branch_length_falloff", false },
	{ "set_branch_factor", "value", "float", "get_branch_factor", false },
	{ "set_branch_clump_max", "max", "float", "get_branch_clump_max", false },
	{ "set_branch_clump_min", "min", "float", "get_branch_clump_min", false },
	{ "set_drop_amount", "amount", "float", "get_drop_amount", false },
	{ "set_grow_amount", "amount", "float", "get_grow_amount", false },
	{ "set_sweep_amount", "amount", "float", "get_sweep_amount", false },
	{ "set_max_radius", "radius", "float", "get_max_radius", false },
	{ "set_radius_falloff_rate", "radius", "float", "get_radius_falloff_rate", false },
	{ "set_climb_rate", "rate", "float", "get_climb_rate", false },
	{ "set_trunk_kink", "kink", "float", "get_trunk_kink", false },
	{ "set_twist", "twist", "float", "get_twist", false },
	{ "set_trunk_length", "length", "float", "get_trunk_length", false },
	{ "set_uv_multiplier", "length", "float", "get_uv_multiplier", true },
	{ "set_twig_enable", "enable", "bool", "get_twig_enable", false },
	{ "set_twig_scale", "scale", "float", "get_twig_scale", false },
	{ "set_twig_cards_per_tip", "cards", "int32_t", "get_twig_cards_per_tip", true },
	{ "set_twig_crossed", "crossed", "int32_t", "get_twig_crossed", true },
	{ "set_twig_aspect", "aspect", "float", "get_twig_aspect", true },
	{ "set_twig_leaf_variants", "variants", "int32_t", "get_twig_leaf_variants", true },
	{ "set_material_trunk", "material", "Ref<Material>", "get_material_trunk", false },
	{ "set_material_twig", "material", "Ref<Material>", "get_material_twig", false },
	{ "set_wind_data", "enable", "bool", "get_wind_data", true },
	{ "set_collision_enable", "enable", "bool", "get_collision_enable", true },
	{ "set_collision_min_radius", "radius", "float", "get_collision_min_radius", true },
	{ "set_lod_enable", "enable", "bool", "get_lod_enable", true },
};
// The accessors, then bake_mesh and is_growing.
constexpr size_t kMethods = 2 * std::size(kAccessors) + 2;

const char *const kMaterials = "StandardMaterial3D,ORMMaterial3D,ShaderMaterial";

// Groups as {"group", name}; properties as {name, type, hint, hint string, setter, getter}.
// A generator parameter takes its type, hint and range from the generator's property table.
constexpr int PARAMETER = -1;

struct Entry {
	const char *name;
	int type; // 0 marks a group, PARAMETER a row of the property table
	int hint;
	const char *hint_string; // a group's prefix
	const char *setter;
	const char *getter;
};

const Entry kSequence[] = {
	{ "seed", PARAMETER, 0, "", "set_seed", "get_seed" },
	{ "Trunk", 0, 0, "trunk_", "", "" },
	{ "trunk_segments", PARAMETER, 0, "", "set_segments", "get_segments" },
	{ "trunk_branches_count", PARAMETER, 0, "", "set_branches_count", "get_branches_count" },
	{ "trunk_height", PARAMETER, 0, "", "set_trunk_height", "get_trunk_height" },
	{ "trunk_branch_length", PARAMETER, 0, "", "set_branch_length", "get_branch_length" },
	{ "trunk_branch_length_falloff", PARAMETER, 0, "", "set_branch_length_falloff", "get_branch_length_falloff" },
	{ "trunk_branch_factor", PARAMETER, 0, "", "set_branch_factor", "get_branch_factor" },
	{ "trunk_branch_clump_max", PARAMETER, 0, "", "set_branch_clump_max", "get_branch_clump_max" },
	{ "trunk_branch_clump_min", PARAMETER, 0, "", "set_branch_clump_min", "get_branch_clump_min" },
	{ "trunk_drop_amount", PARAMETER, 0, "", "set_drop_amount", "get_drop_amount" },
	{ "trunk_grow_amount", PARAMETER, 0, "", "set_grow_amount", "get_grow_amount" },
	{ "trunk_sweep_amount", PARAMETER, 0, "", "set_sweep_amount", "get_sweep_amount" },
	{ "trunk_max_radius", PARAMETER, 0, "", "set_max_radius", "get_max_radius" },
	{ "trunk_radius_falloff_rate", PARAMETER, 0, "", "set_radius_falloff_rate", "get_radius_falloff_rate" },
	{ "trunk_climb_rate", PARAMETER, 0, "", "set_climb_rate", "get_climb_rate" },
	{ "trunk_kink", PARAMETER, 0, "", "set_trunk_kink", "get_trunk_kink" },
	{ "trunk_twist", PARAMETER, 0, "", "set_twist", "get_twist" },
	{ "trunk_length", PARAMETER, 0, "", "set_trunk_length", "get_trunk_length" },
	{ "trunk_uv_multiplier", PARAMETER, 0, "", "set_uv_multiplier", "get_uv_multiplier" },
	{ "Twig", 0, 0, "twig_", "", "" },
	{ "twig_enable", 1, 0, "", "set_twig_enable", "get_twig_enable" },
	{ "twig_scale", PARAMETER, 0, "", "set_twig_scale", "get_twig_scale" },
	{ "twig_cards_per_tip", PARAMETER, 0, "", "set_twig_cards_per_tip", "get_twig_cards_per_tip" },
	{ "twig_crossed", PARAMETER, 0, "", "set_twig_crossed", "get_twig_crossed" },
	{ "twig_aspect", PARAMETER, 0, "", "set_twig_aspect", "get_twig_aspect" },
	{ "twig_leaf_variants", PARAMETER, 0, "", "set_twig_leaf_variants", "get_twig_leaf_variants" },
	{ "Materials", 0, 0, "material_", "", "" },
	{ "material_trunk", 24, 17, kMaterials, "set_material_trunk", "get_material_trunk" },
	{ "material_twig", 24, 17, kMaterials, "set_material_twig", "get_material_twig" },
	{ "Wind", 0, 0, "wind_", "", "" },
	{ "wind_data", 1, 0, "", "set_wind_data", "get_wind_data" },
	{ "Collision", 0, 0, "collision_", "", "" },
	{ "collision_enable", 1, 0, "", "set_collision_enable", "get_collision_enable" },
	{ "collision_min_radius", 3, 1, "0,0.6,0.001", "set_collision_min_radius", "get_collision_min_radius" },
	{ "LOD", 0, 0, "lod_", "", "" },
	{ "lod_enable", 1, 0, "", "set_lod_enable", "get_lod_enable" },
};
constexpr size_t kEntries = std::size(kSequence);

class RegistrationTest : public ::testing::Test {
protected:
	const ClassRecord *record = nullptr;

	void SetUp() override {
		godot::stub::reset();
		godot::ClassDB::register_class<Wendrel3D>();
		record = godot::stub::find_class("Wendrel3D");
		ASSERT_NE(record, nullptr);
	}
	void TearDown() override { godot::stub::reset(); }
};

TEST_F(RegistrationTest, ClassDerivesFromNode3DWithoutErrors) {
	EXPECT_EQ(record->parent, "Node3D");
	EXPECT_TRUE(godot::stub::errors().empty()) << godot::stub::errors().front();
}

TEST_F(RegistrationTest, MethodsAreBoundInOrderWithTheirSignatures) {
	ASSERT_EQ(record->methods.size(), kMethods);
	for (size_t i = 0; i < std::size(kAccessors); i++) {
		const AccessorRow &row = kAccessors[i];
		const MethodRecord &setter = record->methods[2 * i];
		const MethodRecord &getter = record->methods[2 * i + 1];
		SCOPED_TRACE(row.setter);
		const bool material = std::string(row.type) == "Ref<Material>";
		EXPECT_EQ(setter.name, row.setter);
		EXPECT_EQ(setter.arg_names, *row.arg_name ? std::vector<std::string>{ row.arg_name } : std::vector<std::string>{});
		EXPECT_EQ(setter.arg_types, std::vector<std::string>{ material ? "const Ref<Material> &" : row.type });
		EXPECT_EQ(setter.return_type, "void");
		EXPECT_FALSE(setter.is_const);
		EXPECT_EQ(getter.name, row.getter);
		EXPECT_TRUE(getter.arg_types.empty());
		EXPECT_EQ(getter.return_type, row.type);
		EXPECT_EQ(getter.is_const, row.getter_const);
	}
	EXPECT_EQ(record->methods[kMethods - 2].name, "bake_mesh");
	EXPECT_EQ(record->methods[kMethods - 2].return_type, "Ref<ArrayMesh>");
	EXPECT_EQ(record->methods[kMethods - 1].name, "is_growing");
	EXPECT_TRUE(record->methods[kMethods - 1].is_const);
}

TEST_F(RegistrationTest, GroupsAndPropertiesFollowTheMethodsInOrder) {
	const std::vector<std::string> &sequence = record->sequence;
	ASSERT_EQ(sequence.size(), kMethods + 1u + kEntries + 4u);
	EXPECT_EQ(sequence[kMethods], "signal tree_grown");
	size_t property = 0;
	size_t group = 0;
	size_t parameters = 0;
	for (size_t i = 0; i < kEntries; i++) {
		const Entry &entry = kSequence[i];
		SCOPED_TRACE(entry.name);
		if (entry.type == 0) {
			EXPECT_EQ(sequence[kMethods + 1 + i], std::string("group ") + entry.name);
			ASSERT_LT(group, record->groups.size());
			EXPECT_EQ(record->groups[group].name, entry.name);
			EXPECT_EQ(record->groups[group++].prefix, entry.hint_string);
			continue;
		}
		EXPECT_EQ(sequence[kMethods + 1 + i], std::string("property ") + entry.name);
		ASSERT_LT(property, record->properties.size());
		const PropertyRecord &p = record->properties[property++];
		EXPECT_EQ(p.name, entry.name);
		if (entry.type == PARAMETER) {
			const wendrel::PropertyRow *row = wendrel::find_property(entry.name);
			ASSERT_NE(row, nullptr);
			EXPECT_TRUE(row->on_node);
			EXPECT_EQ(p.type, row->type == wendrel::PropertyType::INTEGER ? 2 : 3);
			EXPECT_EQ(p.hint, 1);
			EXPECT_EQ(p.hint_string, row->range_hint());
			parameters++;
		} else {
			EXPECT_EQ(p.type, entry.type);
			EXPECT_EQ(p.hint, entry.hint);
			EXPECT_EQ(p.hint_string, entry.hint_string);
		}
		EXPECT_EQ(p.usage, 6u);
		EXPECT_EQ(p.setter, entry.setter);
		EXPECT_EQ(p.getter, entry.getter);
		EXPECT_EQ(p.class_name, entry.type == 24 ? kMaterials : "");
	}
	EXPECT_EQ(property, 31u);
	EXPECT_EQ(group, 6u);
	// Every row the table puts on the node is registered.
	size_t on_node = 0;
	for (const wendrel::PropertyRow &row : wendrel::property_table()) {
		on_node += row.on_node;
	}
	EXPECT_EQ(parameters, on_node);
}

// Exactly the four overrides, announced after _bind_methods.
TEST_F(RegistrationTest, TheOverriddenVirtualsAreAnnounced) {
	const std::vector<std::string> virtuals = { "_process", "_enter_tree", "_exit_tree", "_ready" };
	EXPECT_EQ(record->virtuals, virtuals);
	for (size_t i = 0; i < virtuals.size(); i++) {
		EXPECT_EQ(record->sequence[kMethods + 1 + kEntries + i], "virtual " + virtuals[i]);
	}
}

// Through the bound names, as a script or a saved scene sets them; the values lie outside
// the inspector ranges, which bind only the inspector.
TEST_F(RegistrationTest, BoundGettersReturnWhatBoundSettersStored) {
	Wendrel3D *node = godot::Object::cast_to<Wendrel3D>(godot::stub::instantiate("Wendrel3D"));
	ASSERT_NE(node, nullptr);
	auto set = [&](const char *p_method, std::any p_value) {
		godot::stub::call_method(node, "Wendrel3D", p_method, { p_value });
	};
	auto get = [&](const char *p_method) { return godot::stub::call_method(node, "Wendrel3D", p_method); };
	set("set_seed", int32_t(123456));
	set("set_segments", int32_t(12));
	set("set_branches_count", int32_t(3));
	set("set_trunk_height", int32_t(7));
	EXPECT_EQ(std::any_cast<int32_t>(get("get_seed")), 123456);
	EXPECT_EQ(std::any_cast<int32_t>(get("get_segments")), 12);
	EXPECT_EQ(std::any_cast<int32_t>(get("get_branches_count")), 3);
	EXPECT_EQ(std::any_cast<int32_t>(get("get_trunk_height")), 7);

	float value = 10.5f;
	for (const AccessorRow &row : kAccessors) {
		if (std::string(row.type) != "float") {
			continue;
		}
		SCOPED_TRACE(row.setter);
		value += 1.25f;
		set(row.setter, value);
		EXPECT_EQ(std::any_cast<float>(get(row.getter)), value);
	}
	godot::stub::enter_tree(node); // the stored values grow the tree
	EXPECT_EQ(node->get_model().branch_factor, node->get_branch_factor());
	set("set_branch_factor", 25.0f);
	EXPECT_EQ(std::any_cast<float>(get("get_branch_factor")), 25.0f);

	set("set_twig_enable", false);
	EXPECT_FALSE(std::any_cast<bool>(get("get_twig_enable")));
	godot::Ref<godot::Material> material = memnew(godot::Material);
	set("set_material_trunk", material);
	EXPECT_EQ(std::any_cast<godot::Ref<godot::Material>>(get("get_material_trunk")), material);
	EXPECT_TRUE(godot::stub::errors().empty()) << godot::stub::errors().front();
	godot::memdelete(node);
}

// --- the entry point and the level callbacks ---

class EntryTest : public ::testing::Test {
protected:
	GDExtensionInitialization init = {};

	void SetUp() override { godot::stub::reset(); }
	void TearDown() override { godot::stub::reset(); }
};

TEST_F(EntryTest, EntryAsksForTheSceneLevelAndRegistersThere) {
	ASSERT_TRUE(wendrel3d_library_init(godot::stub::fake_get_proc_address, nullptr, &init));
	EXPECT_EQ(godot::stub::init_object_log(),
			(std::vector<std::string>{ "InitObject", "register_initializer", "register_terminator",
					"set_minimum_library_initialization_level 2", "init" }));
	EXPECT_EQ(init.minimum_initialization_level, GDEXTENSION_INITIALIZATION_SCENE);

	// The engine initialises the levels from the minimum up, and shuts them down in reverse.
	init.initialize(init.userdata, GDEXTENSION_INITIALIZATION_SCENE);
	init.initialize(init.userdata, GDEXTENSION_INITIALIZATION_EDITOR);
	EXPECT_EQ(godot::stub::registered_class_names(), std::vector<std::string>{ "Wendrel3D" });
	EXPECT_EQ(godot::stub::find_class("Wendrel3D")->level, 2);
	godot::Object *node = godot::stub::instantiate("Wendrel3D");
	ASSERT_NE(godot::Object::cast_to<godot::Node3D>(node), nullptr);
	godot::memdelete(node);

	init.deinitialize(init.userdata, GDEXTENSION_INITIALIZATION_EDITOR);
	EXPECT_NE(godot::stub::find_class("Wendrel3D"), nullptr);
	init.deinitialize(init.userdata, GDEXTENSION_INITIALIZATION_SCENE);
	EXPECT_EQ(godot::stub::find_class("Wendrel3D"), nullptr);
	EXPECT_TRUE(godot::stub::errors().empty());
}

GDExtensionInterfaceFunctionPtr missing_function(const char *) {
	return nullptr;
}

// An engine that cannot host the extension: the entry reports the failure of init().
TEST_F(EntryTest, EntryFailsWhenTheEngineLacksAnInterfaceFunction) {
	EXPECT_FALSE(wendrel3d_library_init(missing_function, nullptr, &init));
	EXPECT_EQ(init.initialize, nullptr);
	EXPECT_TRUE(godot::stub::registered_class_names().empty());
	EXPECT_EQ(godot::stub::errors().size(), 1u);
}

TEST_F(EntryTest, InitializerRegistersOnlyAtTheSceneLevel) {
	for (godot::ModuleInitializationLevel level : { godot::MODULE_INITIALIZATION_LEVEL_CORE,
				 godot::MODULE_INITIALIZATION_LEVEL_SERVERS, godot::MODULE_INITIALIZATION_LEVEL_EDITOR }) {
		initialize_wendrel3d_module(level);
		EXPECT_TRUE(godot::stub::registered_class_names().empty()) << level;
	}
	initialize_wendrel3d_module(godot::MODULE_INITIALIZATION_LEVEL_SCENE);
	EXPECT_EQ(godot::stub::registered_class_names(), std::vector<std::string>{ "Wendrel3D" });
	for (int level = 0; level < 4; level++) {
		uninitialize_wendrel3d_module(godot::ModuleInitializationLevel(level));
	}
	EXPECT_EQ(godot::stub::registered_class_names(), std::vector<std::string>{ "Wendrel3D" });
	EXPECT_TRUE(godot::stub::errors().empty());
}

} // namespace
} // namespace wendrel::test
