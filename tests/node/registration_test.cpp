// What the engine learns about Wendrel3D against its class reference,
// doc_classes/Wendrel3D.xml: the documented members are exactly the registered properties,
// with their accessors, types and defaults, and the documented methods plus the accessors are
// exactly the bound methods. Also the entry point and the level callbacks. The inspector's
// order, groups and ranges are the engine suite's to check against the README.
#include "extension_entry.h"
#include "node_test_support.h"

#include "model/properties.h"

#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/core/class_db.hpp>

#include <tinyxml2.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>

extern "C" GDExtensionBool wendrel3d_library_init(GDExtensionInterfaceGetProcAddress p_get_proc_address,
		GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization);

namespace wendrel::test {
namespace {

using godot::stub::ClassRecord;
using godot::stub::MethodRecord;
using godot::stub::PropertyRecord;

struct DocumentedMember {
	std::string type, setter, getter, default_value; // default_value empty when there is none
};

struct ClassReference {
	std::string inherits;
	std::map<std::string, DocumentedMember> members;
	std::map<std::string, bool> methods; // name, and whether it is const
	std::set<std::string> signals;
};

std::string attribute(const tinyxml2::XMLElement *p_element, const char *p_name) {
	const char *value = p_element->Attribute(p_name);
	return value ? value : "";
}

template <typename Visit>
void for_each_child(const tinyxml2::XMLElement *p_class, const char *p_list, const char *p_item, Visit p_visit) {
	const tinyxml2::XMLElement *list = p_class->FirstChildElement(p_list);
	for (const tinyxml2::XMLElement *e = list ? list->FirstChildElement(p_item) : nullptr; e; e = e->NextSiblingElement(p_item)) {
		p_visit(e);
	}
}

ClassReference read_class_reference() {
	tinyxml2::XMLDocument document;
	EXPECT_EQ(document.LoadFile(WENDREL_CLASS_REFERENCE), tinyxml2::XML_SUCCESS) << WENDREL_CLASS_REFERENCE;
	ClassReference reference;
	const tinyxml2::XMLElement *root = document.FirstChildElement("class");
	if (!root) {
		ADD_FAILURE() << "no <class> in " << WENDREL_CLASS_REFERENCE;
		return reference;
	}
	reference.inherits = attribute(root, "inherits");
	for_each_child(root, "members", "member", [&](const tinyxml2::XMLElement *e) {
		reference.members[attribute(e, "name")] = { attribute(e, "type"), attribute(e, "setter"), attribute(e, "getter"), attribute(e, "default") };
	});
	for_each_child(root, "methods", "method", [&](const tinyxml2::XMLElement *e) {
		reference.methods[attribute(e, "name")] = attribute(e, "qualifiers") == "const";
	});
	for_each_child(root, "signals", "signal", [&](const tinyxml2::XMLElement *e) { reference.signals.insert(attribute(e, "name")); });
	return reference;
}

// The tools come first and in no group, so that the inspector shows them open above the
// parameters: their methods, then the picked preset and one button per tool.
const char *const kToolMethods[] = { "apply_preset", "make_preset", "save_preset", "randomize_seed",
	"save_baked_mesh", "export_gltf", "set_tool_preset", "get_tool_preset", "_get_tool_button",
	"_tool_apply_preset", "_tool_save_preset", "_tool_randomize_seed", "_tool_bake_mesh", "_tool_export_gltf" };
const char *const kToolButtons[] = { "tool_apply_preset", "tool_save_preset", "tool_randomize_seed",
	"tool_bake_mesh", "tool_export_gltf" };
constexpr size_t kToolMethodCount = std::size(kToolMethods);
constexpr size_t kToolProperties = 1 + std::size(kToolButtons);
constexpr size_t kTools = kToolMethodCount + kToolProperties;

// A tool button: no value, only an action the editor calls.
bool is_button(const DocumentedMember &p_member) {
	return p_member.setter.empty();
}

// Variant::Type of the reference's type names.
int variant_type(const std::string &p_type) {
	static const std::map<std::string, int> types = { { "bool", 1 }, { "int", 2 }, { "float", 3 }, { "Wendrel3DPreset", 24 }, { "Material", 24 }, { "Callable", 25 } };
	auto found = types.find(p_type);
	return found == types.end() ? -1 : found->second;
}

class RegistrationTest : public ::testing::Test {
protected:
	const ClassRecord *record = nullptr;
	ClassReference reference = read_class_reference();

	void SetUp() override {
		godot::stub::reset();
		godot::ClassDB::register_class<Wendrel3D>();
		record = godot::stub::find_class("Wendrel3D");
		ASSERT_NE(record, nullptr);
	}
	void TearDown() override { godot::stub::reset(); }

	const MethodRecord *method(const std::string &p_name) const {
		auto found = std::find_if(record->methods.begin(), record->methods.end(), [&](const MethodRecord &m) { return m.name == p_name; });
		return found == record->methods.end() ? nullptr : &*found;
	}
};

TEST_F(RegistrationTest, ClassDerivesAsDocumentedWithoutErrors) {
	EXPECT_EQ(record->parent, reference.inherits);
	EXPECT_TRUE(godot::stub::errors().empty()) << godot::stub::errors().front();
	for (const std::string &signal : reference.signals) {
		EXPECT_NE(std::find(record->sequence.begin(), record->sequence.end(), "signal " + signal), record->sequence.end()) << signal;
	}
}

// A generator parameter takes its type and inspector range from the property table.
TEST_F(RegistrationTest, PropertiesAreTheDocumentedMembers) {
	std::set<std::string> registered;
	for (const PropertyRecord &p : record->properties) {
		SCOPED_TRACE(p.name);
		registered.insert(p.name);
		auto documented = reference.members.find(p.name);
		ASSERT_NE(documented, reference.members.end()) << "registered but not documented";
		EXPECT_EQ(p.setter, documented->second.setter);
		EXPECT_EQ(p.getter, documented->second.getter);
		EXPECT_EQ(p.type, variant_type(documented->second.type));
		// The tools are the editor's only: no scene stores them.
		EXPECT_EQ(p.usage, std::string(p.name).rfind("tool_", 0) == 0 ? 4u : 6u);
		if (const wendrel::PropertyRow *row = wendrel::find_property(p.name)) {
			EXPECT_TRUE(row->on_node);
			EXPECT_EQ(p.hint, 1);
			EXPECT_EQ(p.hint_string, row->range_hint());
		}
	}
	for (const auto &[name, member] : reference.members) {
		EXPECT_TRUE(registered.count(name)) << name << " documented but not registered";
	}
	for (const wendrel::PropertyRow &row : wendrel::property_table()) {
		EXPECT_EQ(registered.count(row.name) == 1, row.on_node) << row.name;
	}
}

// What a fresh node's getters return is what the reference promises (and what a saved scene
// leaves out as unchanged).
TEST_F(RegistrationTest, DefaultsAreTheDocumentedOnes) {
	Wendrel3D *node = godot::Object::cast_to<Wendrel3D>(godot::stub::instantiate("Wendrel3D"));
	ASSERT_NE(node, nullptr);
	for (const auto &[name, member] : reference.members) {
		SCOPED_TRACE(name);
		if (is_button(member)) {
			continue;
		}
		const std::any value = godot::stub::call_method(node, "Wendrel3D", member.getter);
		if (member.type == "Material") {
			EXPECT_TRUE(member.default_value.empty());
			EXPECT_TRUE(std::any_cast<godot::Ref<godot::Material>>(value).is_null());
		} else if (member.type == "Wendrel3DPreset") {
			EXPECT_TRUE(std::any_cast<godot::Ref<Wendrel3DPreset>>(value).is_null());
		} else if (member.type == "bool") {
			EXPECT_EQ(std::any_cast<bool>(value) ? "true" : "false", member.default_value);
		} else if (member.type == "int") {
			EXPECT_EQ(std::any_cast<int32_t>(value), std::atoi(member.default_value.c_str()));
		} else {
			EXPECT_EQ(std::any_cast<float>(value), std::strtof(member.default_value.c_str(), nullptr));
		}
	}
	godot::memdelete(node);
}

// Every member's setter takes the getter's type and returns nothing; beyond the accessors only
// the documented methods are bound, const as documented.
TEST_F(RegistrationTest, MethodsAreTheAccessorsAndTheDocumentedMethods) {
	std::set<std::string> expected;
	for (const auto &[name, member] : reference.members) {
		SCOPED_TRACE(name);
		if (is_button(member)) {
			expected.insert(member.getter);
			continue;
		}
		expected.insert({ member.setter, member.getter });
		const MethodRecord *setter = method(member.setter);
		const MethodRecord *getter = method(member.getter);
		ASSERT_TRUE(setter && getter);
		ASSERT_EQ(setter->arg_types.size(), 1u);
		EXPECT_LE(setter->arg_names.size(), 1u);
		EXPECT_EQ(setter->return_type, "void");
		EXPECT_FALSE(setter->is_const);
		EXPECT_TRUE(getter->arg_types.empty());
		const bool resource = member.type == "Material" || member.type == "Wendrel3DPreset";
		EXPECT_EQ(setter->arg_types[0], resource ? "const Ref<" + member.type + "> &" : getter->return_type);
	}
	for (const auto &[name, is_const] : reference.methods) {
		expected.insert(name);
		const MethodRecord *bound = method(name);
		ASSERT_NE(bound, nullptr) << name;
		EXPECT_EQ(bound->is_const, is_const) << name;
	}
	for (const char *tool : kToolMethods) {
		if (tool[0] == '_') {
			expected.insert(tool); // what a button calls
		}
	}
	std::set<std::string> bound;
	for (const MethodRecord &m : record->methods) {
		bound.insert(m.name);
	}
	EXPECT_EQ(bound, expected);
	EXPECT_EQ(record->methods.size(), expected.size()) << "a method bound twice";
}

// Trap: a button whose getter the engine cannot call with its index, a picked preset stored
// in every scene, or a tool that scripts cannot reach.
TEST_F(RegistrationTest, TheToolsComeFirstAsEditorOnlyButtons) {
	for (size_t i = 0; i < kToolMethodCount; i++) {
		EXPECT_EQ(record->methods[i].name, kToolMethods[i]);
		EXPECT_EQ(record->sequence[i], std::string("method ") + kToolMethods[i]);
	}
	EXPECT_EQ(record->methods[0].arg_types, std::vector<std::string>{ "const Ref<Wendrel3DPreset> &" });
	EXPECT_EQ(record->sequence[kToolMethodCount], "property tool_preset");
	const PropertyRecord &preset = record->properties[0];
	EXPECT_EQ(preset.name, "tool_preset");
	EXPECT_EQ(preset.class_name, "Wendrel3DPreset");
	EXPECT_EQ(preset.usage, 4u); // the editor's only
	for (size_t i = 0; i < std::size(kToolButtons); i++) {
		const PropertyRecord &button = record->properties[1 + i];
		SCOPED_TRACE(kToolButtons[i]);
		EXPECT_EQ(button.name, kToolButtons[i]);
		EXPECT_EQ(button.type, 25); // Callable
		EXPECT_EQ(button.hint, 39); // tool button
		EXPECT_EQ(button.usage, 4u);
		EXPECT_EQ(button.getter, "_get_tool_button");
		EXPECT_EQ(button.setter, "");
	}
	EXPECT_EQ(record->sequence[kTools], "method set_seed");
	// Each button calls a bound method of its own on the node.
	Wendrel3D *node = godot::Object::cast_to<Wendrel3D>(godot::stub::instantiate("Wendrel3D"));
	ASSERT_NE(node, nullptr);
	std::set<std::string> actions;
	for (size_t i = 0; i < std::size(kToolButtons); i++) {
		const godot::Callable action = node->_get_tool_button(int64_t(i));
		EXPECT_EQ(action.stub_object(), node);
		EXPECT_NE(std::find(std::begin(kToolMethods), std::end(kToolMethods), action.stub_method().str()), std::end(kToolMethods)) << action.stub_method().str();
		actions.insert(action.stub_method().str());
	}
	EXPECT_EQ(actions.size(), std::size(kToolButtons));
	godot::memdelete(node);
	EXPECT_TRUE(godot::stub::errors().empty()) << godot::stub::errors().front();
}

// Exactly the four overrides, announced after _bind_methods.
TEST_F(RegistrationTest, TheOverriddenVirtualsAreAnnounced) {
	const std::vector<std::string> virtuals = { "_process", "_enter_tree", "_exit_tree", "_ready" };
	EXPECT_EQ(record->virtuals, virtuals);
	const size_t first = record->sequence.size() - virtuals.size();
	for (size_t i = 0; i < virtuals.size(); i++) {
		EXPECT_EQ(record->sequence[first + i], "virtual " + virtuals[i]);
	}
}

// Through the bound names, as a script or a saved scene sets them; the values lie outside
// the inspector ranges, which bind only the inspector.
TEST_F(RegistrationTest, BoundGettersReturnWhatBoundSettersStored) {
	Wendrel3D *node = godot::Object::cast_to<Wendrel3D>(godot::stub::instantiate("Wendrel3D"));
	ASSERT_NE(node, nullptr);
	auto set = [&](const std::string &p_method, std::any p_value) {
		godot::stub::call_method(node, "Wendrel3D", p_method, { p_value });
	};
	auto get = [&](const std::string &p_method) { return godot::stub::call_method(node, "Wendrel3D", p_method); };
	set("set_seed", int32_t(123456));
	set("set_segments", int32_t(12));
	set("set_branches_count", int32_t(3));
	set("set_trunk_height", int32_t(7));
	EXPECT_EQ(std::any_cast<int32_t>(get("get_seed")), 123456);
	EXPECT_EQ(std::any_cast<int32_t>(get("get_segments")), 12);
	EXPECT_EQ(std::any_cast<int32_t>(get("get_branches_count")), 3);
	EXPECT_EQ(std::any_cast<int32_t>(get("get_trunk_height")), 7);

	float value = 10.5f;
	for (const PropertyRecord &p : record->properties) {
		if (p.type != 3) {
			continue;
		}
		SCOPED_TRACE(p.name);
		value += 1.25f;
		set(p.setter, value);
		EXPECT_EQ(std::any_cast<float>(get(p.getter)), value);
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

// The preset first: the node's tool property names it as its resource type.
const std::vector<std::string> kClasses = { "Wendrel3DPreset", "Wendrel3D" };

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
	EXPECT_EQ(godot::stub::registered_class_names(), kClasses);
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
	EXPECT_EQ(godot::stub::registered_class_names(), kClasses);
	for (int level = 0; level < 4; level++) {
		uninitialize_wendrel3d_module(godot::ModuleInitializationLevel(level));
	}
	EXPECT_EQ(godot::stub::registered_class_names(), kClasses);
	EXPECT_TRUE(godot::stub::errors().empty());
}

} // namespace
} // namespace wendrel::test
