# Collects the errors the engine reports (its own, the extension's and scripts'), so that
# each test can tell which errors it caused.
extends Logger

var _mutex := Mutex.new()
var _errors: Array[String] = []


func _log_error(function: String, file: String, line: int, code: String, rationale: String,
		_editor_notify: bool, error_type: int, _script_backtraces: Array[ScriptBacktrace]) -> void:
	if error_type == ERROR_TYPE_WARNING:
		return
	var text := rationale if not rationale.is_empty() else code
	_mutex.lock()
	_errors.append("%s (%s:%d, %s)" % [text, file, line, function])
	_mutex.unlock()


func _log_message(_message: String, _error: bool) -> void:
	pass


# Returns the errors reported since the last call, and forgets them.
func take() -> Array[String]:
	_mutex.lock()
	var taken := _errors.duplicate()
	_errors.clear()
	_mutex.unlock()
	return taken
