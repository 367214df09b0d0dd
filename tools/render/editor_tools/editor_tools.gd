# Takes the README's picture of a Wendrel3D's inspector, with the conifer preset picked and
# the Twig group open, and quits. Enabled only in the project copy that scripts/render.sh lays out:
#     godot --editor --path <project> -- <output folder>
@tool
extends EditorPlugin


func _enter_tree() -> void:
	_take.call_deferred()


func _take() -> void:
	# The editor draws only when something changes; the picture needs frames drawn.
	OS.low_processor_usage_mode = false
	for i in 10:
		await get_tree().process_frame
	var path := "res://presets/default.tscn"
	EditorInterface.open_scene_from_path(path)
	for i in 600:
		var root := EditorInterface.get_edited_scene_root()
		if root and root.scene_file_path == path:
			break
		await get_tree().process_frame
	var node := EditorInterface.get_edited_scene_root()
	node.tool_preset = load("res://addons/wendrel3d/presets/conifer.tres")
	EditorInterface.edit_node(node)
	EditorInterface.get_inspector().get_parent_control().custom_minimum_size.x = 380
	await get_tree().process_frame
	unfold_group(EditorInterface.get_inspector(), "twig_")
	for i in 60:
		await get_tree().process_frame
	await RenderingServer.frame_post_draw
	var inspector := EditorInterface.get_inspector()
	var image := inspector.get_viewport().get_texture().get_image()
	var dock := inspector.get_parent_control() if inspector.get_parent_control() else inspector
	var rect := Rect2i(dock.get_global_rect()).intersection(Rect2i(Vector2i.ZERO, image.get_size()))
	rect = rect.grow_individual(0, 0, 0, -maxi(0, rect.size.y - 560))
	print("inspector picture: ", rect)
	image.get_region(rect).save_png(OS.get_cmdline_user_args()[0].path_join("editor-tools.png"))
	get_tree().quit()


# Opens the inspector's group whose properties start with `prefix`, as a click on its title
# would, so that the picture shows some of the node's parameters and not only their groups.
func unfold_group(inspector: Control, prefix: String) -> void:
	for section in inspector.find_children("*", "EditorInspectorSection", true, false):
		var names := section.find_children("*", "EditorProperty", true, false).map(func(p): return String(p.get_edited_property()))
		if not names.is_empty() and names.all(func(n): return n.begins_with(prefix)):
			section.call("unfold")
			print("unfolded: ", names)
			return
	push_error("no inspector group of %s* properties to open" % prefix)
