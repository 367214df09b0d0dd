// Stand-in: the variant type numbers, which property registration records, and a value of
// any type, which the stand-in's engine classes read back with stub_get<T>().
#pragma once

#include <godot_cpp/variant/packed_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <any>
#include <cstdint>
#include <type_traits>

namespace godot {

class Variant {
	std::any value;

public:
	Variant() = default;
	template <typename T, typename = std::enable_if_t<!std::is_same_v<std::decay_t<T>, Variant>>>
	Variant(const T &p_value) :
			value(p_value) {}

	// Stand-in only: the value, or null when it holds another type.
	template <typename T>
	const T *stub_get() const { return std::any_cast<T>(&value); }

	// As in the engine, a packed array reads back as its own type; any other value as an
	// empty one.
	template <typename T>
	operator stub::PackedArray<T>() const {
		const stub::PackedArray<T> *packed = stub_get<stub::PackedArray<T>>();
		return packed ? *packed : stub::PackedArray<T>();
	}

	// As in the engine, a number reads back as either kind; any other value as zero.
	operator int64_t() const { return number<int64_t>(); }
	operator double() const { return number<double>(); }
	template <typename T>
	T number() const {
		if (const int64_t *i = stub_get<int64_t>()) {
			return T(*i);
		}
		if (const int32_t *i = stub_get<int32_t>()) {
			return T(*i);
		}
		if (const double *d = stub_get<double>()) {
			return T(*d);
		}
		const float *f = stub_get<float>();
		return f ? T(*f) : T(0);
	}

	enum Type {
		NIL,
		BOOL,
		INT,
		FLOAT,
		STRING,
		VECTOR2,
		VECTOR2I,
		RECT2,
		RECT2I,
		VECTOR3,
		VECTOR3I,
		TRANSFORM2D,
		VECTOR4,
		VECTOR4I,
		PLANE,
		QUATERNION,
		AABB,
		BASIS,
		TRANSFORM3D,
		PROJECTION,
		COLOR,
		STRING_NAME,
		NODE_PATH,
		RID,
		OBJECT, // 24
		CALLABLE,
		SIGNAL,
		DICTIONARY,
		ARRAY,
	};
};

} // namespace godot
