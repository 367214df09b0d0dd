// Stand-in: ResourceSaver. Records the path and the saved resource's class, writes nothing.
#pragma once

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/resource.hpp>

#include <cstdint>

namespace godot {

class ResourceSaver : public Object {
	STUB_ENGINE_CLASS(ResourceSaver, Object)

public:
	enum SaverFlags : uint32_t {
		FLAG_NONE = 0,
		FLAG_CHANGE_PATH = 4,
	};

	static ResourceSaver *get_singleton();
	Error save(const Ref<Resource> &p_resource, const String &p_path = String(), uint32_t p_flags = 0);
};

} // namespace godot
