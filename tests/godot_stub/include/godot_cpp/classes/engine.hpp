// Stand-in: Engine. The tests run as a game would, never as the editor.
#pragma once

#include <godot_cpp/classes/object.hpp>

namespace godot {

class Engine : public Object {
	STUB_ENGINE_CLASS(Engine, Object)

public:
	static Engine *get_singleton();
	bool is_editor_hint() const { return false; }
};

} // namespace godot
