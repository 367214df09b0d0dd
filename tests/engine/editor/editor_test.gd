# The node's tools in the editor, as the inspector's buttons use them: applying a preset and
# randomizing the seed are one undo step each, and undo brings back every value and the
# same tree. Enabled only in the test project; prints "PASS"/"FAIL" lines and the summary
# line of the engine suite, then quits with 1 on a failure.
#     godot --headless --editor --path <project>   (with this plugin enabled)
@tool
extends EditorPlugin

var failures: Array[String] = []


func _enter_tree() -> void:
	_run.call_deferred()


func check(condition: bool, what: String) -> void:
	if not condition:
		failures.append(what)


# Every stored parameter of the node and the arrays it shows.
func state_of(node: Node) -> Array:
	var values := {}
	for info in ClassDB.class_get_property_list("Wendrel3DPreset", true):
		if info.usage & PROPERTY_USAGE_STORAGE:
			values[info.name] = node.get(info.name)
	var bark: MeshInstance3D = node.get_child(0, true)
	var twigs: MeshInstance3D = node.get_child(1, true)
	return [values, bark.mesh.surface_get_arrays(0), twigs.mesh.surface_get_arrays(0)]


func press(node: Node, button: String) -> void:
	var action: Callable = node.get(button)
	action.call()


func _run() -> void:
	await get_tree().process_frame
	var path := "res://presets/default.tscn"
	EditorInterface.open_scene_from_path(path)
	# The editor may still be opening the project's main scene: wait for the tab of this one.
	for i in 600:
		var root := EditorInterface.get_edited_scene_root()
		if root and root.scene_file_path == path:
			break
		await get_tree().process_frame
	var node := EditorInterface.get_edited_scene_root()
	check(node != null and node.is_class("Wendrel3D"), "the scene's tree is open")
	if node:
		test_apply_preset_is_one_undo_step(node)
		test_randomize_seed_is_one_undo_step(node)
	var name := "editor_test.undo_steps"
	print(("PASS " if failures.is_empty() else "FAIL ") + name)
	for failure in failures:
		print("  " + failure)
	print("%d passed, %d failed" % [1 if failures.is_empty() else 0, 0 if failures.is_empty() else 1])
	get_tree().quit(0 if failures.is_empty() else 1)


func history_of(node: Node) -> UndoRedo:
	var manager := get_undo_redo()
	return manager.get_history_undo_redo(manager.get_object_history_id(node))


func test_apply_preset_is_one_undo_step(node: Node) -> void:
	var before := state_of(node)
	var conifer: Resource = load("res://addons/wendrel3d/presets/conifer.tres")
	node.tool_preset = conifer
	press(node, "tool_apply_preset")
	var applied := state_of(node)
	check(applied[0].trunk_height == conifer.trunk_height and applied[0].seed == conifer.seed, "the preset's values applied")
	check(applied[1] != before[1], "the preset's tree shown")
	var history := history_of(node)
	history.undo()
	check(state_of(node) == before, "undo of the preset restores every value and the tree")
	history.redo()
	check(state_of(node) == applied, "redo applies the preset again")
	history.undo()
	check(state_of(node) == before, "undo again")


func test_randomize_seed_is_one_undo_step(node: Node) -> void:
	var before := state_of(node)
	press(node, "tool_randomize_seed")
	check(node.seed != before[0].seed, "a new seed")
	check(state_of(node)[1] != before[1], "a new tree")
	history_of(node).undo()
	check(state_of(node) == before, "undo of the seed restores every value and the tree")
