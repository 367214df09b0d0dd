// Stand-in: Array, a vector of variants.
#pragma once

#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <vector>

namespace godot {

class Array {
	std::vector<Variant> items;

public:
	int64_t resize(int64_t p_size) {
		items.resize(size_t(p_size));
		return 0;
	}
	int64_t size() const { return int64_t(items.size()); }
	Variant &operator[](int64_t p_index) { return items.at(size_t(p_index)); }
	const Variant &operator[](int64_t p_index) const { return items.at(size_t(p_index)); }
};

} // namespace godot
