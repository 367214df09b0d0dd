// The node's tools: presets, a new seed, the baked mesh and the glTF file, each a method
// scripts can call and an inspector button. In the editor the buttons of the presets and the
// seed are one undo step each.
#include "Wendrel3D.h"

#include "model/properties.h"
#include "Wendrel3DPreset.h"

#include <godot_cpp/classes/editor_interface.hpp>
#include <godot_cpp/classes/editor_undo_redo_manager.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/gltf_document.hpp>
#include <godot_cpp/classes/gltf_state.hpp>
#include <godot_cpp/classes/resource_saver.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

using godot::Error;
using godot::Ref;
using godot::String;

namespace {

// The editor's undo history, or null outside the editor (a game, the command line).
godot::EditorUndoRedoManager *editor_undo_redo() {
	if (!godot::Engine::get_singleton()->is_editor_hint()) {
		return nullptr;
	}
	godot::EditorInterface *editor = godot::EditorInterface::get_singleton();
	return editor ? editor->get_editor_undo_redo() : nullptr;
}

// The inspector buttons: property name, "label,icon" and the method the button calls.
struct ToolButton {
	const char *property;
	const char *hint;
	const char *method;
};

const ToolButton TOOL_BUTTONS[] = {
	{ "tool_apply_preset", "Apply preset,Load", "_tool_apply_preset" },
	{ "tool_save_preset", "Save values as preset,Save", "_tool_save_preset" },
	{ "tool_randomize_seed", "Randomize seed,RandomNumberGenerator", "_tool_randomize_seed" },
	{ "tool_bake_mesh", "Bake mesh beside the scene,ArrayMesh", "_tool_bake_mesh" },
	{ "tool_export_gltf", "Export glTF beside the scene,PackedScene", "_tool_export_gltf" },
};

void report_saved(const String &p_what, const String &p_path, Error p_error) {
	if (p_error == godot::OK) {
		godot::UtilityFunctions::print(String("Wendrel3D: ") + p_what + " saved as " + p_path);
	} else {
		ERR_PRINT(String("Wendrel3D: could not save ") + p_what + " as " + p_path + " (error " + String::num_int64(p_error) + ").");
	}
}

} // namespace

// --- presets ---

// All values at once and one growth, where setting them one by one would grow a tree for
// each, and could refuse an intermediate tree that is too large. Refused as a whole, with the
// tree and every value kept, when the preset's tree cannot be built.
Error Wendrel3D::apply_preset(const Ref<Wendrel3DPreset> &p_preset) {
	ERR_FAIL_COND_V_MSG(p_preset.is_null(), godot::ERR_INVALID_PARAMETER, "Wendrel3D: apply_preset() needs a preset.");
	wendrel::TreeProperties next = properties;
	for (const wendrel::PropertyRow &row : wendrel::property_table()) {
		if (!row.on_node) {
			continue;
		}
		if (row.type == wendrel::PropertyType::INTEGER) {
			next.*row.int_field = p_preset->get_properties().*row.int_field;
		} else {
			next.*row.float_field = p_preset->get_properties().*row.float_field;
		}
	}
	if (!fits(next, "preset")) {
		return godot::ERR_INVALID_DATA;
	}
	const wendrel::TreeProperties previous = properties;
	properties = next;
	if (!is_inside_tree()) {
		stale = true;
	} else if (!grow(Rebuilds::BOTH, "preset")) {
		properties = previous;
		return godot::ERR_OUT_OF_MEMORY;
	}
	return godot::OK;
}

Ref<Wendrel3DPreset> Wendrel3D::make_preset() const {
	Ref<Wendrel3DPreset> preset;
	preset.instantiate();
	preset->set_properties(properties);
	return preset;
}

Error Wendrel3D::save_preset(const String &p_path) {
	return godot::ResourceSaver::get_singleton()->save(make_preset(), p_path);
}

void Wendrel3D::set_tool_preset(const Ref<Wendrel3DPreset> &p_preset) {
	tool_preset = p_preset;
}
Ref<Wendrel3DPreset> Wendrel3D::get_tool_preset() const {
	return tool_preset;
}

// --- seed ---

// Another seed in the inspector's range, from the engine's global random generator (so
// that a script's seed() makes it repeatable).
int32_t Wendrel3D::random_seed() const {
	const wendrel::PropertyRow *row = wendrel::find_property("seed");
	int32_t seed = properties.seed;
	while (seed == properties.seed) {
		seed = int32_t(godot::UtilityFunctions::randi_range(int64_t(row->min), int64_t(row->max)));
	}
	return seed;
}

int32_t Wendrel3D::randomize_seed() {
	set_seed(random_seed());
	return properties.seed;
}

// --- files ---

Error Wendrel3D::save_baked_mesh(const String &p_path) {
	Ref<godot::ArrayMesh> mesh = bake_mesh();
	ERR_FAIL_COND_V_MSG(mesh.is_null(), godot::ERR_CANT_CREATE, "Wendrel3D: the tree could not be baked.");
	return godot::ResourceSaver::get_singleton()->save(mesh, p_path);
}

// Through the engine's own glTF writer, from a mesh instance of the baked mesh: the node's
// children are internal, and the writer would not see them.
Error Wendrel3D::export_gltf(const String &p_path) {
	Ref<godot::ArrayMesh> mesh = bake_mesh();
	ERR_FAIL_COND_V_MSG(mesh.is_null(), godot::ERR_CANT_CREATE, "Wendrel3D: the tree could not be baked.");
	godot::MeshInstance3D *instance = memnew(godot::MeshInstance3D);
	instance->set_name(get_name());
	instance->set_mesh(mesh);
	Ref<godot::GLTFDocument> document;
	document.instantiate();
	Ref<godot::GLTFState> state;
	state.instantiate();
	Error error = document->append_from_scene(instance, state);
	if (error == godot::OK) {
		error = document->write_to_filesystem(state, p_path);
	}
	memdelete(instance);
	return error;
}

// "res://forest/grove_Oak.res" for the node Oak in res://forest/grove.tscn; empty, with an
// error, while the scene has never been saved.
String Wendrel3D::path_beside_scene(const String &p_extension) const {
	const godot::Node *scene = get_owner() ? get_owner() : this;
	const String scene_path = scene->get_scene_file_path();
	ERR_FAIL_COND_V_MSG(scene_path.is_empty(), String(), "Wendrel3D: save the scene first; the file goes beside it.");
	return scene_path.get_basename() + "_" + String(get_name()).validate_filename() + "." + p_extension;
}

// --- inspector buttons ---

godot::Callable Wendrel3D::_get_tool_button(int64_t p_index) const {
	ERR_FAIL_INDEX_V(p_index, int64_t(sizeof TOOL_BUTTONS / sizeof TOOL_BUTTONS[0]), godot::Callable());
	return godot::Callable(const_cast<Wendrel3D *>(this), TOOL_BUTTONS[p_index].method);
}

// The undo step keeps copies of the values before and after, so that undo and redo give
// the same trees even when the preset file changes in between.
void Wendrel3D::_tool_apply_preset() {
	ERR_FAIL_COND_MSG(tool_preset.is_null(), "Wendrel3D: pick a preset first (the Tool Preset property above the button).");
	Ref<Wendrel3DPreset> after;
	after.instantiate();
	after->set_properties(tool_preset->get_properties());
	godot::EditorUndoRedoManager *undo_redo = editor_undo_redo();
	if (!undo_redo) {
		apply_preset(after);
		return;
	}
	undo_redo->create_action("Apply Wendrel3D preset");
	undo_redo->add_do_method(this, "apply_preset", after);
	undo_redo->add_undo_method(this, "apply_preset", make_preset());
	undo_redo->commit_action();
}

// Saved beside the scene and put into the Tool Preset property, from where the inspector's
// resource menu can save it elsewhere.
void Wendrel3D::_tool_save_preset() {
	const String path = path_beside_scene("tres");
	if (path.is_empty()) {
		return;
	}
	Ref<Wendrel3DPreset> preset = make_preset();
	const Error error = godot::ResourceSaver::get_singleton()->save(preset, path, godot::ResourceSaver::FLAG_CHANGE_PATH);
	report_saved("the preset", path, error);
	if (error == godot::OK) {
		tool_preset = preset;
		notify_property_list_changed();
	}
}

void Wendrel3D::_tool_randomize_seed() {
	godot::EditorUndoRedoManager *undo_redo = editor_undo_redo();
	if (!undo_redo) {
		randomize_seed();
		return;
	}
	undo_redo->create_action("Randomize Wendrel3D seed");
	undo_redo->add_do_property(this, "seed", random_seed());
	undo_redo->add_undo_property(this, "seed", properties.seed);
	undo_redo->commit_action();
}

void Wendrel3D::_tool_bake_mesh() {
	const String path = path_beside_scene("res");
	if (!path.is_empty()) {
		report_saved("the baked mesh", path, save_baked_mesh(path));
	}
}

void Wendrel3D::_tool_export_gltf() {
	const String path = path_beside_scene("glb");
	if (!path.is_empty()) {
		report_saved("the glTF file", path, export_gltf(path));
	}
}

// --- registration ---

// Registered first and in no group, so that the inspector shows the tools above the
// parameters, and open: a group would start folded.
void Wendrel3D::bind_tool_methods() {
	using godot::ClassDB;
	using godot::D_METHOD;
	ClassDB::bind_method(D_METHOD("apply_preset", "preset"), &Wendrel3D::apply_preset);
	ClassDB::bind_method(D_METHOD("make_preset"), &Wendrel3D::make_preset);
	ClassDB::bind_method(D_METHOD("save_preset", "path"), &Wendrel3D::save_preset);
	ClassDB::bind_method(D_METHOD("randomize_seed"), &Wendrel3D::randomize_seed);
	ClassDB::bind_method(D_METHOD("save_baked_mesh", "path"), &Wendrel3D::save_baked_mesh);
	ClassDB::bind_method(D_METHOD("export_gltf", "path"), &Wendrel3D::export_gltf);
	ClassDB::bind_method(D_METHOD("set_tool_preset", "preset"), &Wendrel3D::set_tool_preset);
	ClassDB::bind_method(D_METHOD("get_tool_preset"), &Wendrel3D::get_tool_preset);
	ClassDB::bind_method(D_METHOD("_get_tool_button", "index"), &Wendrel3D::_get_tool_button);
	ClassDB::bind_method(D_METHOD("_tool_apply_preset"), &Wendrel3D::_tool_apply_preset);
	ClassDB::bind_method(D_METHOD("_tool_save_preset"), &Wendrel3D::_tool_save_preset);
	ClassDB::bind_method(D_METHOD("_tool_randomize_seed"), &Wendrel3D::_tool_randomize_seed);
	ClassDB::bind_method(D_METHOD("_tool_bake_mesh"), &Wendrel3D::_tool_bake_mesh);
	ClassDB::bind_method(D_METHOD("_tool_export_gltf"), &Wendrel3D::_tool_export_gltf);

	// The picked preset is the editor's, not the scene's: applied, its values are.
	ClassDB::add_property(get_class_static(),
			godot::PropertyInfo(godot::Variant::OBJECT, "tool_preset", godot::PROPERTY_HINT_RESOURCE_TYPE, "Wendrel3DPreset", godot::PROPERTY_USAGE_EDITOR),
			"set_tool_preset", "get_tool_preset");
	for (size_t i = 0; i < sizeof TOOL_BUTTONS / sizeof TOOL_BUTTONS[0]; ++i) {
		ClassDB::add_property(get_class_static(),
				godot::PropertyInfo(godot::Variant::CALLABLE, TOOL_BUTTONS[i].property, godot::PROPERTY_HINT_TOOL_BUTTON, TOOL_BUTTONS[i].hint, godot::PROPERTY_USAGE_EDITOR),
				"", "_get_tool_button", int(i));
	}
}
