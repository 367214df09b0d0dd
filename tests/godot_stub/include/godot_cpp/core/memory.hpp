// Stand-in: memnew and memdelete. Objects live on the ordinary heap here.
#pragma once

namespace godot {

template <typename T>
T *_post_initialize(T *p_object) {
	return p_object;
}

template <typename T>
void memdelete(T *p_object) {
	delete p_object;
}

} // namespace godot

#define memnew(m_class) ::godot::_post_initialize(new m_class)
