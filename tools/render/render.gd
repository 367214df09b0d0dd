# Renders the demo's grove and each preset to PNGs, in the Compatibility renderer:
#     godot --rendering-driver opengl3 --rendering-method gl_compatibility --path <project> \
#         -s res://render/render.gd -- <output folder>
# Each preset stands alone in the grove's setting (sky, sun, ground), with the grove's
# bark and twig materials, and a camera that frames it.
extends SceneTree

const GROVE_SIZE := Vector2i(960, 540)
const PRESET_SIZE := Vector2i(400, 300)


func _initialize() -> void:
	_render_all.call_deferred()


func _render_all() -> void:
	var out: String = OS.get_cmdline_user_args()[0]
	await _render(load("res://main.tscn").instantiate(), GROVE_SIZE, out.path_join("grove.png"))
	for file in DirAccess.get_files_at("res://presets"):
		if file.ends_with(".tscn"):
			var preset: Node3D = load("res://presets/" + file).instantiate()
			await _render(_stage(preset), PRESET_SIZE, out.path_join(file.get_basename() + ".png"))
	quit()


# The grove without its trees, holding p_tree at the origin in front of a framing camera.
func _stage(p_tree: Node3D) -> Node3D:
	var stage: Node3D = load("res://main.tscn").instantiate()
	var trees := stage.get_node("Trees")
	for tree in trees.get_children():
		trees.remove_child(tree)
		tree.free()
	trees.add_child(p_tree)
	p_tree.material_trunk = load("res://materials/bark.tres")
	p_tree.material_twig = load("res://materials/twig.tres")
	var bounds: AABB = p_tree.get_child(0, true).mesh.get_aabb()
	if p_tree.get_child_count(true) > 1:
		bounds = bounds.merge(p_tree.get_child(1, true).mesh.get_aabb())
	var camera: Camera3D = stage.get_node("Camera3D")
	var center := bounds.get_center()
	var radius := bounds.size.length() / 2.0
	var distance := radius / tan(deg_to_rad(camera.fov) / 2.0)
	camera.position = center + Vector3(0.35, 0.25, 1.0).normalized() * distance
	camera.look_at_from_position(camera.position, center)
	return stage


func _render(p_scene: Node, p_size: Vector2i, p_path: String) -> void:
	var viewport := SubViewport.new()
	viewport.size = p_size
	viewport.own_world_3d = true
	viewport.msaa_3d = Viewport.MSAA_4X
	viewport.render_target_update_mode = SubViewport.UPDATE_ALWAYS
	viewport.add_child(p_scene)
	root.add_child(viewport)
	# Noise textures are made on worker threads: give them time before the picture.
	for i in 30:
		await process_frame
	await create_timer(1.0).timeout
	await RenderingServer.frame_post_draw
	var error := viewport.get_texture().get_image().save_png(p_path)
	print("%s %s" % [p_path.get_file(), "written" if error == OK else error_string(error)])
	viewport.free()
