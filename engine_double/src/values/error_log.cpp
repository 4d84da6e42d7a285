#include <engine_double/error_log.hpp>

#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/string.hpp>

#include <mutex>

namespace engine_double {

namespace {

struct ErrorLog {
	std::mutex mutex;
	std::vector<std::string> messages;
};

// Never destroyed: plug-ins may still report while the process shuts down.
ErrorLog &error_log() {
	static ErrorLog *log = new ErrorLog;
	return *log;
}

} // namespace

void error_log_record(const std::string &p_message) {
	ErrorLog &log = error_log();
	std::lock_guard<std::mutex> lock(log.mutex);
	log.messages.push_back(p_message);
}

std::vector<std::string> error_log_messages() {
	ErrorLog &log = error_log();
	std::lock_guard<std::mutex> lock(log.mutex);
	return log.messages;
}

void error_log_clear() {
	ErrorLog &log = error_log();
	std::lock_guard<std::mutex> lock(log.mutex);
	log.messages.clear();
}

size_t error_log_size() {
	ErrorLog &log = error_log();
	std::lock_guard<std::mutex> lock(log.mutex);
	return log.messages.size();
}

} // namespace engine_double

namespace godot {

namespace {

// The engine prints the message when there is one, else the condition text.
void record(const char *p_error, const char *p_message, bool p_is_warning) {
	const char *text = (p_message && p_message[0]) ? p_message : (p_error ? p_error : "");
	engine_double::error_log_record(p_is_warning ? std::string("WARNING: ") + text : std::string(text));
}

} // namespace

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, bool p_editor_notify, bool p_is_warning) {
	record(p_error, nullptr, p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, bool p_editor_notify, bool p_is_warning) {
	record(p_error.utf8().get_data(), nullptr, p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, const char *p_message, bool p_editor_notify, bool p_is_warning) {
	record(p_error, p_message, p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, const char *p_message, bool p_editor_notify, bool p_is_warning) {
	record(p_error.utf8().get_data(), p_message, p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, const String &p_message, bool p_editor_notify, bool p_is_warning) {
	record(p_error, p_message.utf8().get_data(), p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, const String &p_message, bool p_editor_notify, bool p_is_warning) {
	record(p_error.utf8().get_data(), p_message.utf8().get_data(), p_is_warning);
}

void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index, int64_t p_size, const char *p_index_str, const char *p_size_str, const char *p_message, bool p_editor_notify, bool p_fatal) {
	std::string text = std::string(p_fatal ? "FATAL: " : "") + "Index " + p_index_str + " = " + std::to_string(p_index) + " is out of bounds (" + p_size_str + " = " + std::to_string(p_size) + ").";
	record(text.c_str(), p_message, false);
}

void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index, int64_t p_size, const char *p_index_str, const char *p_size_str, const String &p_message, bool p_editor_notify, bool p_fatal) {
	_err_print_index_error(p_function, p_file, p_line, p_index, p_size, p_index_str, p_size_str, p_message.utf8().get_data(), p_editor_notify, p_fatal);
}

} // namespace godot
