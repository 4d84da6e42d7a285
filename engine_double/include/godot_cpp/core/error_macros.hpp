#pragma once

// godot-cpp's error macros. They report through the double's error log, where the engine
// would print "ERROR: ..." lines; nothing here aborts.

#include <godot_cpp/core/defs.hpp>

#include <cstdint>

namespace godot {

class String;

ENGINE_DOUBLE_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, bool p_editor_notify = false, bool p_is_warning = false);
ENGINE_DOUBLE_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, bool p_editor_notify = false, bool p_is_warning = false);
ENGINE_DOUBLE_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, const char *p_message, bool p_editor_notify = false, bool p_is_warning = false);
ENGINE_DOUBLE_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, const char *p_message, bool p_editor_notify = false, bool p_is_warning = false);
ENGINE_DOUBLE_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, const String &p_message, bool p_editor_notify = false, bool p_is_warning = false);
ENGINE_DOUBLE_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, const String &p_message, bool p_editor_notify = false, bool p_is_warning = false);
ENGINE_DOUBLE_API void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index, int64_t p_size, const char *p_index_str, const char *p_size_str, const char *p_message = "", bool p_editor_notify = false, bool p_fatal = false);
ENGINE_DOUBLE_API void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index, int64_t p_size, const char *p_index_str, const char *p_size_str, const String &p_message, bool p_editor_notify = false, bool p_fatal = false);

} // namespace godot

#define FUNCTION_STR __FUNCTION__

#define _GDE_STR(m_x) #m_x
#define _GDE_MKSTR(m_x) _GDE_STR(m_x)

#define ERR_FAIL_INDEX(m_index, m_size)                                                                                          \
	if (unlikely((m_index) < 0 || (m_index) >= (m_size))) {                                                                      \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _GDE_STR(m_index), _GDE_STR(m_size)); \
		return;                                                                                                                  \
	} else                                                                                                                       \
		((void)0)

#define ERR_FAIL_INDEX_MSG(m_index, m_size, m_msg)                                                                                      \
	if (unlikely((m_index) < 0 || (m_index) >= (m_size))) {                                                                             \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _GDE_STR(m_index), _GDE_STR(m_size), m_msg); \
		return;                                                                                                                         \
	} else                                                                                                                              \
		((void)0)

#define ERR_FAIL_INDEX_V(m_index, m_size, m_retval)                                                                              \
	if (unlikely((m_index) < 0 || (m_index) >= (m_size))) {                                                                      \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _GDE_STR(m_index), _GDE_STR(m_size)); \
		return m_retval;                                                                                                         \
	} else                                                                                                                       \
		((void)0)

#define ERR_FAIL_INDEX_V_MSG(m_index, m_size, m_retval, m_msg)                                                                          \
	if (unlikely((m_index) < 0 || (m_index) >= (m_size))) {                                                                             \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _GDE_STR(m_index), _GDE_STR(m_size), m_msg); \
		return m_retval;                                                                                                                \
	} else                                                                                                                              \
		((void)0)

#define ERR_FAIL_UNSIGNED_INDEX(m_index, m_size)                                                                                 \
	if (unlikely((m_index) >= (m_size))) {                                                                                       \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _GDE_STR(m_index), _GDE_STR(m_size)); \
		return;                                                                                                                  \
	} else                                                                                                                       \
		((void)0)

#define ERR_FAIL_UNSIGNED_INDEX_V(m_index, m_size, m_retval)                                                                     \
	if (unlikely((m_index) >= (m_size))) {                                                                                       \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _GDE_STR(m_index), _GDE_STR(m_size)); \
		return m_retval;                                                                                                         \
	} else                                                                                                                       \
		((void)0)

#define ERR_FAIL_NULL(m_param)                                                                                       \
	if (unlikely(m_param == nullptr)) {                                                                              \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Parameter \"" _GDE_STR(m_param) "\" is null."); \
		return;                                                                                                      \
	} else                                                                                                           \
		((void)0)

#define ERR_FAIL_NULL_MSG(m_param, m_msg)                                                                                   \
	if (unlikely(m_param == nullptr)) {                                                                                     \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Parameter \"" _GDE_STR(m_param) "\" is null.", m_msg); \
		return;                                                                                                             \
	} else                                                                                                                  \
		((void)0)

#define ERR_FAIL_NULL_V(m_param, m_retval)                                                                           \
	if (unlikely(m_param == nullptr)) {                                                                              \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Parameter \"" _GDE_STR(m_param) "\" is null."); \
		return m_retval;                                                                                             \
	} else                                                                                                           \
		((void)0)

#define ERR_FAIL_NULL_V_MSG(m_param, m_retval, m_msg)                                                                       \
	if (unlikely(m_param == nullptr)) {                                                                                     \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Parameter \"" _GDE_STR(m_param) "\" is null.", m_msg); \
		return m_retval;                                                                                                    \
	} else                                                                                                                  \
		((void)0)

#define ERR_FAIL_COND(m_cond)                                                                                       \
	if (unlikely(m_cond)) {                                                                                         \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _GDE_STR(m_cond) "\" is true."); \
		return;                                                                                                     \
	} else                                                                                                          \
		((void)0)

#define ERR_FAIL_COND_MSG(m_cond, m_msg)                                                                                   \
	if (unlikely(m_cond)) {                                                                                                \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _GDE_STR(m_cond) "\" is true.", m_msg); \
		return;                                                                                                            \
	} else                                                                                                                 \
		((void)0)

#define ERR_FAIL_COND_V(m_cond, m_retval)                                                                                                          \
	if (unlikely(m_cond)) {                                                                                                                        \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _GDE_STR(m_cond) "\" is true. Returning: " _GDE_STR(m_retval)); \
		return m_retval;                                                                                                                           \
	} else                                                                                                                                         \
		((void)0)

#define ERR_FAIL_COND_V_MSG(m_cond, m_retval, m_msg)                                                                                                      \
	if (unlikely(m_cond)) {                                                                                                                               \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _GDE_STR(m_cond) "\" is true. Returning: " _GDE_STR(m_retval), m_msg); \
		return m_retval;                                                                                                                                  \
	} else                                                                                                                                                \
		((void)0)

#define ERR_CONTINUE(m_cond)                                                                                                    \
	if (unlikely(m_cond)) {                                                                                                     \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _GDE_STR(m_cond) "\" is true. Continuing."); \
		continue;                                                                                                               \
	} else                                                                                                                      \
		((void)0)

#define ERR_CONTINUE_MSG(m_cond, m_msg)                                                                                                \
	if (unlikely(m_cond)) {                                                                                                            \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _GDE_STR(m_cond) "\" is true. Continuing.", m_msg); \
		continue;                                                                                                                      \
	} else                                                                                                                             \
		((void)0)

#define ERR_BREAK(m_cond)                                                                                                     \
	if (unlikely(m_cond)) {                                                                                                   \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _GDE_STR(m_cond) "\" is true. Breaking."); \
		break;                                                                                                                \
	} else                                                                                                                    \
		((void)0)

#define ERR_BREAK_MSG(m_cond, m_msg)                                                                                                 \
	if (unlikely(m_cond)) {                                                                                                          \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _GDE_STR(m_cond) "\" is true. Breaking.", m_msg); \
		break;                                                                                                                       \
	} else                                                                                                                           \
		((void)0)

#define ERR_FAIL()                                                                              \
	if (true) {                                                                                 \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Method/function failed."); \
		return;                                                                                 \
	} else                                                                                      \
		((void)0)

#define ERR_FAIL_MSG(m_msg)                                                                            \
	if (true) {                                                                                        \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Method/function failed.", m_msg); \
		return;                                                                                        \
	} else                                                                                             \
		((void)0)

#define ERR_FAIL_V(m_retval)                                                                                                   \
	if (true) {                                                                                                                \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Method/function failed. Returning: " _GDE_STR(m_retval)); \
		return m_retval;                                                                                                       \
	} else                                                                                                                     \
		((void)0)

#define ERR_FAIL_V_MSG(m_retval, m_msg)                                                                                               \
	if (true) {                                                                                                                       \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Method/function failed. Returning: " _GDE_STR(m_retval), m_msg); \
		return m_retval;                                                                                                              \
	} else                                                                                                                            \
		((void)0)

#define ERR_PRINT(m_msg) \
	::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg)

#define ERR_PRINT_ONCE(m_msg)                                                   \
	if (true) {                                                                 \
		static bool _gde_printed = false;                                       \
		if (!_gde_printed) {                                                    \
			::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg); \
			_gde_printed = true;                                                \
		}                                                                       \
	} else                                                                      \
		((void)0)

#define WARN_PRINT(m_msg) \
	::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg, false, true)

#define WARN_PRINT_ONCE(m_msg)                                                               \
	if (true) {                                                                              \
		static bool _gde_warned = false;                                                     \
		if (!_gde_warned) {                                                                  \
			::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg, false, true); \
			_gde_warned = true;                                                              \
		}                                                                                    \
	} else                                                                                   \
		((void)0)

// The engine aborts on these. The double records the message and carries on, so a test can
// see the misuse instead of losing the whole run.
#define CRASH_NOW() \
	::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "FATAL: Method/function failed.")

#define CRASH_NOW_MSG(m_msg) \
	::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "FATAL: Method/function failed.", m_msg)

#define CRASH_COND(m_cond)                                                                                                 \
	if (unlikely(m_cond)) {                                                                                                \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "FATAL: Condition \"" _GDE_STR(m_cond) "\" is true."); \
	} else                                                                                                                 \
		((void)0)

#define CRASH_COND_MSG(m_cond, m_msg)                                                                                             \
	if (unlikely(m_cond)) {                                                                                                       \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "FATAL: Condition \"" _GDE_STR(m_cond) "\" is true.", m_msg); \
	} else                                                                                                                        \
		((void)0)

#define CRASH_BAD_INDEX(m_index, m_size)                                                                                                          \
	if (unlikely((m_index) < 0 || (m_index) >= (m_size))) {                                                                                       \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _GDE_STR(m_index), _GDE_STR(m_size), "", false, true); \
	} else                                                                                                                                        \
		((void)0)

#ifdef DEBUG_ENABLED
#define DEV_ASSERT(m_cond)                                                                                                           \
	if (unlikely(!(m_cond))) {                                                                                                       \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "FATAL: DEV_ASSERT failed  \"" _GDE_STR(m_cond) "\" is false."); \
	} else                                                                                                                           \
		((void)0)
#else
#define DEV_ASSERT(m_cond)
#endif
