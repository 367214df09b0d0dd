// Stand-in: ClassDB records every registration call in the stub recorder and makes
// godot-cpp's checks, printing (recording) the same kind of error when one fails.
#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/core/property_info.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <gdextension_interface.h>
#include <stub/recorder.h>

#include <any>
#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace godot {

struct MethodDefinition {
	StringName name;
	std::list<StringName> args;

	MethodDefinition() = default;
	MethodDefinition(StringName p_name) :
			name(p_name) {}
};

template <typename... VarArgs>
MethodDefinition D_METHOD(StringName p_name, VarArgs... p_args) {
	MethodDefinition definition(p_name);
	(definition.args.push_back(StringName(p_args)), ...);
	return definition;
}

// godot-cpp returns its method bind; the stand-in returns a token and keeps the record.
class MethodBind {};

namespace stub::detail {

template <typename T>
struct TypeName {
	static std::string get() { return "?"; }
};
template <>
struct TypeName<void> {
	static std::string get() { return "void"; }
};
template <>
struct TypeName<bool> {
	static std::string get() { return "bool"; }
};
template <>
struct TypeName<int32_t> {
	static std::string get() { return "int32_t"; }
};
template <>
struct TypeName<int64_t> {
	static std::string get() { return "int64_t"; }
};
template <>
struct TypeName<float> {
	static std::string get() { return "float"; }
};
template <>
struct TypeName<double> {
	static std::string get() { return "double"; }
};
template <typename T>
struct TypeName<Ref<T>> {
	static std::string get() { return "Ref<" + T::get_class_static().str() + ">"; }
};

// The C++ spelling of a parameter or result type, e.g. "const Ref<Material> &".
template <typename T>
std::string type_name() {
	using Unreferenced = std::remove_reference_t<T>;
	std::string name = TypeName<std::remove_cv_t<Unreferenced>>::get();
	if (std::is_const_v<Unreferenced>) {
		name = "const " + name;
	}
	if (std::is_lvalue_reference_v<T>) {
		name += " &";
	}
	return name;
}

template <typename R, typename... A, typename F, size_t... I>
std::any invoke(F p_function, const std::vector<std::any> &p_args, std::index_sequence<I...>) {
	if constexpr (std::is_void_v<R>) {
		p_function(std::any_cast<std::decay_t<A>>(p_args.at(I))...);
		return std::any();
	} else {
		return std::any(p_function(std::any_cast<std::decay_t<A>>(p_args.at(I))...));
	}
}

template <typename C, typename R, typename... A>
MethodRecord describe(bool p_const) {
	MethodRecord record;
	record.arg_types = { type_name<A>()... };
	record.return_type = type_name<R>();
	record.is_const = p_const;
	return record;
}

template <typename C, typename R, typename... A>
MethodRecord make_method(R (C::*p_method)(A...)) {
	MethodRecord record = describe<C, R, A...>(false);
	record.call = [p_method](Object *p_object, const std::vector<std::any> &p_args) {
		C *self = dynamic_cast<C *>(p_object);
		return invoke<R, A...>([self, p_method](auto... a) -> R { return (self->*p_method)(a...); },
				p_args, std::index_sequence_for<A...>());
	};
	return record;
}

template <typename C, typename R, typename... A>
MethodRecord make_method(R (C::*p_method)(A...) const) {
	MethodRecord record = describe<C, R, A...>(true);
	record.call = [p_method](Object *p_object, const std::vector<std::any> &p_args) {
		const C *self = dynamic_cast<const C *>(p_object);
		return invoke<R, A...>([self, p_method](auto... a) -> R { return (self->*p_method)(a...); },
				p_args, std::index_sequence_for<A...>());
	};
	return record;
}

template <typename C, typename R, typename... A>
const StringName &class_of(R (C::*)(A...)) {
	return C::get_class_static();
}
template <typename C, typename R, typename... A>
const StringName &class_of(R (C::*)(A...) const) {
	return C::get_class_static();
}

} // namespace stub::detail

struct MethodInfo;

class ClassDB {
	static bool begin_class(const StringName &p_name, const StringName &p_parent, std::function<Object *()> p_create);
	static MethodBind *add_method(const StringName &p_class, const MethodDefinition &p_definition,
			stub::MethodRecord p_record, size_t p_default_count);

public:
	static GDExtensionInitializationLevel current_level;

	template <typename T>
	static void register_class(bool p_virtual = false) {
		(void)p_virtual;
		if (begin_class(T::get_class_static(), T::get_parent_class_static(), []() -> Object * { return memnew(T); })) {
			T::initialize_class();
		}
	}

	template <typename N, typename M, typename... VarArgs>
	static MethodBind *bind_method(N p_method_name, M p_method, VarArgs... p_args) {
		return add_method(stub::detail::class_of(p_method), MethodDefinition(p_method_name),
				stub::detail::make_method(p_method), sizeof...(p_args));
	}

	static void add_property_group(const StringName &p_class, const String &p_name, const String &p_prefix);
	static void add_property_subgroup(const StringName &p_class, const String &p_name, const String &p_prefix);
	static void add_property(const StringName &p_class, const PropertyInfo &p_pinfo, const StringName &p_setter,
			const StringName &p_getter, int p_index = -1);
	static void add_signal(const StringName &p_class, const MethodInfo &p_signal);
	static void bind_virtual_method(const StringName &p_class, const StringName &p_method);

	// Forgets the classes registered at this level, as godot-cpp does when the engine
	// de-initialises it.
	static void deinitialize(GDExtensionInitializationLevel p_level);
};

} // namespace godot

#define BIND_VIRTUAL_METHOD(m_class, m_method) ::godot::ClassDB::bind_virtual_method(m_class::get_class_static(), #m_method)

#define GDREGISTER_CLASS(m_class) ::godot::ClassDB::register_class<m_class>();
