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
#define ERR_FAIL_COND_MSG(m_cond, m_msg)                                    \
	if (m_cond) {                                                           \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg); \
		return;                                                             \
	} else                                                                  \
		((void)0)
#define ERR_FAIL_COND_V_MSG(m_cond, m_retval, m_msg)                        \
	if (m_cond) {                                                           \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg); \
		return m_retval;                                                    \
	} else                                                                  \
		((void)0)
#define ERR_FAIL_NULL_MSG(m_param, m_msg) ERR_FAIL_COND_MSG((m_param) == nullptr, m_msg)
#define ERR_FAIL_NULL_V_MSG(m_param, m_retval, m_msg) ERR_FAIL_COND_V_MSG((m_param) == nullptr, m_retval, m_msg)
#define ERR_FAIL_INDEX_V(m_index, m_size, m_retval) \
	ERR_FAIL_COND_V_MSG((m_index) < 0 || (m_index) >= (m_size), m_retval, "Index " #m_index " is out of bounds.")
