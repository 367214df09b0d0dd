// Stand-in: Object, with the type test that Ref conversions use.
#pragma once

#include <godot_cpp/classes/wrapped.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace godot {

class Object : public Wrapped {
	STUB_ENGINE_CLASS(Object, Wrapped)

public:
	Object() = default;

	// Recorded as a call "Object.emit_signal(name)"; nothing is connected in the stand-in.
	void emit_signal(const StringName &p_signal);
	// Recorded as a call; the stand-in has no inspector to tell.
	void notify_property_list_changed();

	// The engine's type test: null when p_object is not a T.
	template <typename T>
	static T *cast_to(Object *p_object) { return dynamic_cast<T *>(p_object); }
	template <typename T>
	static const T *cast_to(const Object *p_object) { return dynamic_cast<const T *>(p_object); }
};

} // namespace godot
