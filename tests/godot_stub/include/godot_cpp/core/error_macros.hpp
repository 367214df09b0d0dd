// Stand-in: the error macros the node uses. Each message is recorded in stub::errors().
#pragma once

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/string.hpp>

namespace godot {

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error,
		bool p_editor_notify = false, bool p_is_warning = false);
void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error,
		bool p_editor_notify = false, bool p_is_warning = false);

} // namespace godot

#define ERR_PRINT(m_msg) ::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg)
#define WARN_PRINT(m_msg) ::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg, false, true)
#define ERR_FAIL_NULL(m_param)                                                                              \
	if (m_param == nullptr) {                                                                               \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Parameter \"" #m_param "\" is null."); \
		return;                                                                                             \
	} else                                                                                                  \
		((void)0)
#define ERR_FAIL_COND(m_cond)                                                                              \
	if (m_cond) {                                                                                          \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" #m_cond "\" is true."); \
		return;                                                                                            \
	} else                                                                                                 \
		((void)0)
