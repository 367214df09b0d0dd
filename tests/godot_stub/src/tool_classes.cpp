// The stand-in's classes behind the node's tools: saving, glTF, the editor's undo history
// and the global functions. Each call is recorded; nothing is written.
#include "state.h"

#include <godot_cpp/classes/editor_interface.hpp>
#include <godot_cpp/classes/editor_undo_redo_manager.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/gltf_document.hpp>
#include <godot_cpp/classes/resource_saver.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <algorithm>
#include <random>

namespace godot {

using stub::detail::record_call;

namespace {

// The engine's singletons live as long as the engine: they are not counted among the
// objects a test must free.
template <typename T>
T *singleton() {
	static T *instance = [] {
		static T object;
		stub::detail::state().live.erase(&object);
		return &object;
	}();
	return instance;
}

} // namespace

void Object::notify_property_list_changed() {
	record_call(this, "Object.notify_property_list_changed");
}

void Resource::emit_changed() {
	record_call(this, "Resource.emit_changed");
}

String String::get_basename() const {
	const size_t dot = text.find_last_of('.');
	const size_t slash = text.find_last_of('/');
	return dot == std::string::npos || (slash != std::string::npos && dot < slash) ? *this : String(text.substr(0, dot));
}

String String::validate_filename() const {
	std::string name = text;
	for (char &c : name) {
		if (std::string(":/\\?*\"|%<>").find(c) != std::string::npos) {
			c = '_';
		}
	}
	return String(name);
}

Engine *Engine::get_singleton() {
	return singleton<Engine>();
}

EditorInterface *EditorInterface::get_singleton() {
	return singleton<EditorInterface>();
}

EditorUndoRedoManager *EditorInterface::get_editor_undo_redo() const {
	return singleton<EditorUndoRedoManager>();
}

void EditorUndoRedoManager::record(const char *p_method, const StringName &p_name) {
	record_call(this, std::string("EditorUndoRedoManager.") + p_method, p_name.str());
}

void EditorUndoRedoManager::create_action(const String &p_name, int, Object *, bool, bool) {
	record_call(this, "EditorUndoRedoManager.create_action", p_name.str());
}

void EditorUndoRedoManager::commit_action(bool) {
	record_call(this, "EditorUndoRedoManager.commit_action");
}

Error GLTFDocument::append_from_scene(Node *p_node, const Ref<GLTFState> &, uint32_t, const String &) {
	record_call(this, "GLTFDocument.append_from_scene", p_node ? p_node->get_name().str() : "null");
	return OK;
}

Error GLTFDocument::write_to_filesystem(const Ref<GLTFState> &, const String &p_path) {
	record_call(this, "GLTFDocument.write_to_filesystem", p_path.str());
	return OK;
}

ResourceSaver *ResourceSaver::get_singleton() {
	return singleton<ResourceSaver>();
}

Error ResourceSaver::save(const Ref<Resource> &p_resource, const String &p_path, uint32_t p_flags) {
	record_call(this, "ResourceSaver.save", p_path.str() + "," + std::to_string(p_flags));
	return p_resource.is_valid() ? OK : ERR_INVALID_PARAMETER;
}

void UtilityFunctions::print(const String &p_text) {
	record_call(nullptr, "UtilityFunctions.print", p_text.str());
}

int64_t UtilityFunctions::randi_range(int64_t p_from, int64_t p_to) {
	static std::mt19937_64 generator(1);
	return std::uniform_int_distribution<int64_t>(std::min(p_from, p_to), std::max(p_from, p_to))(generator);
}

} // namespace godot
