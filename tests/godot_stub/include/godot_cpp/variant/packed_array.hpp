// Stand-in: the packed arrays the node fills, each a plain vector with godot-cpp's
// resize(), size(), ptr() and ptrw().
#pragma once

#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>
#include <vector>

namespace godot::stub {

template <typename T>
class PackedArray {
	std::vector<T> data;

public:
	int64_t resize(int64_t p_size) {
		data.resize(size_t(p_size));
		return 0;
	}
	int64_t size() const { return int64_t(data.size()); }
	const T *ptr() const { return data.data(); }
	T *ptrw() { return data.data(); }
	const std::vector<T> &values() const { return data; } // stand-in only
};

} // namespace godot::stub

namespace godot {
using PackedVector3Array = stub::PackedArray<Vector3>;
using PackedVector2Array = stub::PackedArray<Vector2>;
using PackedInt32Array = stub::PackedArray<int32_t>;
using PackedColorArray = stub::PackedArray<Color>;
} // namespace godot
