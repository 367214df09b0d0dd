// Stand-in: EditorInterface, as far as the node's tools reach it.
#pragma once

#include <godot_cpp/classes/editor_undo_redo_manager.hpp>
#include <godot_cpp/classes/object.hpp>

namespace godot {

class EditorInterface : public Object {
	STUB_ENGINE_CLASS(EditorInterface, Object)

public:
	static EditorInterface *get_singleton();
	EditorUndoRedoManager *get_editor_undo_redo() const;
};

} // namespace godot
