// Stand-in: the base of every engine and extension class, and the class-declaration macro.
#pragma once

#include <godot_cpp/variant/string_name.hpp>

namespace godot {

class ClassDB;

class Wrapped {
	friend class ClassDB;

protected:
	Wrapped();
	virtual bool _is_extension_class() const { return false; }

public:
	virtual ~Wrapped();
	Wrapped(const Wrapped &) = delete;
	Wrapped &operator=(const Wrapped &) = delete;

	static const StringName &get_class_static() {
		static const StringName name = "Wrapped";
		return name;
	}
	static void initialize_class() {}
	static void _bind_methods() {}
	template <typename T, typename B>
	static void register_virtuals() {}
	void _notification(int) {}
};

} // namespace godot

// The names every class of the stand-in carries (godot-cpp generates these for engine
// classes; GDCLASS declares them for extension classes).
#define STUB_ENGINE_CLASS(m_class, m_inherits)                    \
public:                                                           \
	typedef m_class self_type;                                    \
	typedef m_inherits parent_type;                               \
	static const ::godot::StringName &get_class_static() {        \
		static const ::godot::StringName name = #m_class;         \
		return name;                                              \
	}                                                             \
	static const ::godot::StringName &get_parent_class_static() { \
		return m_inherits::get_class_static();                    \
	}                                                             \
                                                                  \
private:

// The extension-class declaration. Like godot-cpp's, it starts and ends with `private:`,
// runs _bind_methods once per registration and then announces the engine virtuals that
// the class overrides. Unlike godot-cpp it has no static guard of its own: the stand-in's
// ClassDB refuses a second registration, and stub::reset() allows a fresh one.
#define GDCLASS(m_class, m_inherits)                                   \
private:                                                               \
	void operator=(const m_class &) {}                                 \
	friend class ::godot::ClassDB;                                     \
	friend class ::godot::Wrapped;                                     \
                                                                       \
protected:                                                             \
	bool _is_extension_class() const override {                        \
		return true;                                                   \
	}                                                                  \
                                                                       \
	STUB_ENGINE_CLASS(m_class, m_inherits)                             \
public:                                                                \
	static void initialize_class() {                                   \
		m_inherits::initialize_class();                                \
		m_class::_bind_methods();                                      \
		m_inherits::template register_virtuals<m_class, m_inherits>(); \
	}                                                                  \
                                                                       \
private:
