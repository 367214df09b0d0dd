// Stand-in: Callable, a method of an object by name.
#pragma once

#include <godot_cpp/variant/string_name.hpp>

namespace godot {

class Object;

class Callable {
	Object *object = nullptr;
	StringName method;

public:
	Callable() = default;
	Callable(Object *p_object, const StringName &p_method) :
			object(p_object), method(p_method) {}

	// Stand-in only.
	Object *stub_object() const { return object; }
	const StringName &stub_method() const { return method; }
};

} // namespace godot
