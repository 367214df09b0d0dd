# Runs the engine test suites headless, one test at a time, and ends with the line
# "N passed, N failed" and the exit code 1 when a test failed.
#     godot --headless --path <project> -s res://tests/run_tests.gd
extends SceneTree

const SUITES := [
	"res://tests/node_test.gd",
	"res://tests/growth_test.gd",
	"res://tests/demo_test.gd",
	"res://tests/game_test.gd",
	"res://tests/docs_test.gd",
	"res://tests/tools_test.gd",
]


func _initialize() -> void:
	_run.call_deferred()


func _run() -> void:
	var errors := preload("res://tests/error_log.gd").new()
	OS.add_logger(errors)
	var passed := 0
	var failed := 0
	for path in SUITES:
		for method in load(path).new().get_method_list():
			if not method.name.begins_with("test_"):
				continue
			var suite = load(path).new()
			suite.tree = self
			suite.errors = errors
			errors.take()
			await suite.call(method.name)
			for child in root.get_children():
				child.free()
			for error in errors.take():
				suite.failures.append("engine error: " + error)
			var name: String = path.get_file().get_basename() + "." + method.name
			if suite.failures.is_empty():
				passed += 1
				print("PASS " + name)
			else:
				failed += 1
				print("FAIL " + name)
				for failure in suite.failures:
					print("  " + failure)
	OS.remove_logger(errors)
	print("%d passed, %d failed" % [passed, failed])
	quit(1 if failed > 0 else 0)
