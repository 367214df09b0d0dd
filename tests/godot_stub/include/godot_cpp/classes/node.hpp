// Stand-in: Node owns its children, as in the engine: freeing a node frees its children,
// and a freed child leaves its parent. Internal children added at the front come before the
// ordinary ones and are counted and indexed only when asked for. Only the virtuals of the binding's order up to
// _ready are declared; they are announced to ClassDB when a class overrides them.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>
#include <type_traits>
#include <vector>

namespace godot {

class Node : public Object {
	STUB_ENGINE_CLASS(Node, Object)

	Node *parent = nullptr;
	std::vector<Node *> children;
	bool internal = false; // added as an internal child of its parent
	StringName name;
	Node *owner = nullptr;

	std::vector<Node *> listed_children(bool p_include_internal) const;
	bool inside_tree = false;
	bool processing = false;

	friend void stub::enter_tree(Node *p_node);
	friend void stub::exit_tree(Node *p_node);

public:
	enum InternalMode {
		INTERNAL_MODE_DISABLED = 0,
		INTERNAL_MODE_FRONT = 1,
		INTERNAL_MODE_BACK = 2,
	};

	Node() = default;
	~Node() override;

	void add_child(Node *p_node, bool p_force_readable_name = false, Node::InternalMode p_internal = (Node::InternalMode)0);
	void remove_child(Node *p_node);
	int32_t get_child_count(bool p_include_internal = false) const;
	Node *get_child(int32_t p_index, bool p_include_internal = false) const;
	Node *get_parent() const { return parent; }
	void set_name(const StringName &p_name) { name = p_name; }
	StringName get_name() const { return name; }
	void set_owner(Node *p_owner) { owner = p_owner; }
	Node *get_owner() const { return owner; }
	// No scene is ever loaded or saved here: no file.
	String get_scene_file_path() const { return String(); }
	bool is_inside_tree() const { return inside_tree; }
	void set_process(bool p_enable);
	bool is_processing() const { return processing; }

	virtual void _process(double p_delta);
	virtual void _physics_process(double p_delta);
	virtual void _enter_tree();
	virtual void _exit_tree();
	virtual void _ready();

	template <typename T, typename B>
	static void register_virtuals() {
		Object::register_virtuals<T, B>();
		if constexpr (!std::is_same_v<decltype(&B::_process), decltype(&T::_process)>) {
			BIND_VIRTUAL_METHOD(T, _process);
		}
		if constexpr (!std::is_same_v<decltype(&B::_physics_process), decltype(&T::_physics_process)>) {
			BIND_VIRTUAL_METHOD(T, _physics_process);
		}
		if constexpr (!std::is_same_v<decltype(&B::_enter_tree), decltype(&T::_enter_tree)>) {
			BIND_VIRTUAL_METHOD(T, _enter_tree);
		}
		if constexpr (!std::is_same_v<decltype(&B::_exit_tree), decltype(&T::_exit_tree)>) {
			BIND_VIRTUAL_METHOD(T, _exit_tree);
		}
		if constexpr (!std::is_same_v<decltype(&B::_ready), decltype(&T::_ready)>) {
			BIND_VIRTUAL_METHOD(T, _ready);
		}
	}
};

} // namespace godot
