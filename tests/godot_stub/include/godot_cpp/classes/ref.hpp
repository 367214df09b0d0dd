// Stand-in: the counted handle, following godot-cpp's Ref<T> line by line.
#pragma once

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/memory.hpp>

#include <cstddef>

namespace godot {

template <typename T>
class Ref {
	T *reference = nullptr;

	void ref(const Ref &p_from) {
		if (p_from.reference == reference) {
			return;
		}
		unref();
		reference = p_from.reference;
		if (reference) {
			reference->reference();
		}
	}

	void ref_pointer(T *p_ref) {
		if (p_ref->init_ref()) {
			reference = p_ref;
		}
	}

public:
	bool operator==(const T *p_ptr) const { return reference == p_ptr; }
	bool operator!=(const T *p_ptr) const { return reference != p_ptr; }
	bool operator==(const Ref<T> &p_r) const { return reference == p_r.reference; }
	bool operator!=(const Ref<T> &p_r) const { return reference != p_r.reference; }

	T *operator*() const { return reference; }
	T *operator->() const { return reference; }
	T *ptr() const { return reference; }

	Ref &operator=(const Ref &p_from) {
		ref(p_from);
		return *this;
	}

	template <typename T_Other>
	Ref &operator=(const Ref<T_Other> &p_from) {
		RefCounted *refb = const_cast<RefCounted *>(static_cast<const RefCounted *>(p_from.ptr()));
		if (!refb) {
			unref();
			return *this;
		}
		Ref r;
		r.reference = Object::cast_to<T>(refb);
		ref(r);
		r.reference = nullptr;
		return *this;
	}

	Ref(const Ref &p_from) { ref(p_from); }

	template <typename T_Other>
	Ref(const Ref<T_Other> &p_from) { *this = p_from; }

	Ref(T *p_reference) {
		if (p_reference) {
			ref_pointer(p_reference);
		}
	}

	Ref() = default;
	~Ref() { unref(); }

	bool is_valid() const { return reference != nullptr; }
	bool is_null() const { return reference == nullptr; }

	void unref() {
		if (reference && reference->unreference()) {
			memdelete(reference);
		}
		reference = nullptr;
	}

	void instantiate() { ref(memnew(T())); }
};

} // namespace godot
