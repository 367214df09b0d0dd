// Stand-in: RefCounted with the engine's counting rules. A new object starts at one
// reference, which init_ref() hands to the first Ref without adding another.
#pragma once

#include <godot_cpp/classes/object.hpp>

#include <cstdint>

namespace godot {

class RefCounted : public Object {
	STUB_ENGINE_CLASS(RefCounted, Object)

	int32_t refcount = 1;
	bool initial_reference_given = false;

public:
	RefCounted() = default;

	bool init_ref();
	bool reference();
	bool unreference(); // true when the last reference is gone
	int32_t get_reference_count() const { return refcount; }
};

} // namespace godot
