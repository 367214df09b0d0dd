// Stand-in: the editor's undo history. The stand-in is never the editor (Engine), so the
// node only has to compile against it; each call is recorded all the same.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace godot {

class EditorUndoRedoManager : public Object {
	STUB_ENGINE_CLASS(EditorUndoRedoManager, Object)

	void record(const char *p_method, const StringName &p_name);

public:
	void create_action(const String &p_name, int p_merge_mode = 0, Object *p_custom_context = nullptr,
			bool p_backward_undo_ops = false, bool p_mark_unsaved = true);
	template <typename... Args>
	void add_do_method(Object *, const StringName &p_method, const Args &...) { record("add_do_method", p_method); }
	template <typename... Args>
	void add_undo_method(Object *, const StringName &p_method, const Args &...) { record("add_undo_method", p_method); }
	void add_do_property(Object *, const StringName &p_property, const Variant &) { record("add_do_property", p_property); }
	void add_undo_property(Object *, const StringName &p_property, const Variant &) { record("add_undo_property", p_property); }
	void commit_action(bool p_execute = true);
};

} // namespace godot
