# Renders the demo's grove and each preset to PNGs, in the Compatibility renderer:
#     godot --rendering-driver opengl3 --rendering-method gl_compatibility --path <project> \
#         -s res://render/render.gd -- <output folder>
# Each preset stands alone in the grove's setting (sky, sun, ground), with the grove's
# bark and twig materials, and a camera that frames it.
#
# Then it measures the leaves: each preset as a mask (coverage.gd) with its twig cards as they
# are and as one square card per tip, and the grove's frame time the same two ways. The masks
# go to <output folder>/masks.
extends SceneTree

const Coverage := preload("res://render/coverage.gd")
const TIMED_FRAMES := 60

const GROVE_SIZE := Vector2i(960, 540)
const PRESET_SIZE := Vector2i(400, 300)


func _initialize() -> void:
	_render_all.call_deferred()


func _render_all() -> void:
	var out: String = OS.get_cmdline_user_args()[0]
	await _render(load("res://main.tscn").instantiate(), GROVE_SIZE, out.path_join("grove.png"))
	var masks := out.path_join("masks")
	DirAccess.make_dir_recursive_absolute(masks)
	for file in DirAccess.get_files_at("res://presets"):
		if file.ends_with(".tscn"):
			var name := file.get_basename()
			var preset: Node3D = load("res://presets/" + file).instantiate()
			await _render(_stage(preset), PRESET_SIZE, out.path_join(name + ".png"))
			for single in [true, false]:
				var tree: Node3D = load("res://presets/" + file).instantiate()
				if single:
					_single_cards(tree)
				var path := masks.path_join(name + ("_single_cards" if single else "") + ".png")
				await _render(_mask_stage(tree), PRESET_SIZE, path, Viewport.MSAA_DISABLED)
				var m := Coverage.measure(Image.load_from_file(path))
				print("coverage %-8s %-13s %.3f (%d leaf pixels over %d)" % [name, "single cards" if single else "as set", m[2], m[0], m[1]])
	# The default tree stays the node's defaults; this is what two crossed cards per tip give it.
	var leafy: Node3D = load("res://presets/default.tscn").instantiate()
	leafy.twig_cards_per_tip = 2
	leafy.twig_crossed = 1
	await _render(_stage(leafy), PRESET_SIZE, out.path_join("default_two_crossed_cards.png"))
	leafy = load("res://presets/default.tscn").instantiate()
	leafy.twig_cards_per_tip = 2
	leafy.twig_crossed = 1
	var leafy_mask := masks.path_join("default_two_crossed_cards.png")
	await _render(_mask_stage(leafy), PRESET_SIZE, leafy_mask, Viewport.MSAA_DISABLED)
	var lm := Coverage.measure(Image.load_from_file(leafy_mask))
	print("coverage %-8s %-13s %.3f (%d leaf pixels over %d)" % ["default", "2 crossed", lm[2], lm[0], lm[1]])
	for single in [true, false]:
		var grove: Node3D = load("res://main.tscn").instantiate()
		if single:
			for tree in grove.get_node("Trees").get_children():
				_single_cards(tree)
		print("grove frame time %-13s %.2f ms" % ["single cards" if single else "as set", await _frame_time(grove, GROVE_SIZE)])
	quit()


# The tree's twig parameters back at one square card per tip, as before cards had a shape.
func _single_cards(p_tree: Node3D) -> void:
	p_tree.twig_cards_per_tip = 1
	p_tree.twig_crossed = 0
	p_tree.twig_aspect = 1.0
	p_tree.twig_leaf_variants = 1


# The staged tree unlit on black: bark red, leaves green (leaf_mask.gdshader).
func _mask_stage(p_tree: Node3D) -> Node3D:
	var stage := _stage(p_tree)
	var environment := Environment.new()
	environment.background_mode = Environment.BG_COLOR
	environment.background_color = Color.BLACK
	stage.get_node("WorldEnvironment").environment = environment
	stage.get_node("Ground").visible = false
	var bark := StandardMaterial3D.new()
	bark.shading_mode = BaseMaterial3D.SHADING_MODE_UNSHADED
	bark.albedo_color = Color.RED
	p_tree.material_trunk = bark
	var twig := ShaderMaterial.new()
	twig.shader = load("res://render/leaf_mask.gdshader")
	twig.set_shader_parameter("leaf_atlas", p_tree.twig_leaf_variants > 1)
	p_tree.material_twig = twig
	return stage


# The median time between two drawn frames of p_scene, in milliseconds.
func _frame_time(p_scene: Node, p_size: Vector2i) -> float:
	var viewport := _viewport(p_scene, p_size, Viewport.MSAA_4X)
	for i in 30:
		await process_frame
	var times := []
	var last := Time.get_ticks_usec()
	for i in TIMED_FRAMES:
		await RenderingServer.frame_post_draw
		var now := Time.get_ticks_usec()
		times.append((now - last) / 1000.0)
		last = now
	viewport.free()
	times.sort()
	return times[times.size() / 2]


# The grove without its trees, holding p_tree at the origin in front of a framing camera.
func _stage(p_tree: Node3D) -> Node3D:
	var stage: Node3D = load("res://main.tscn").instantiate()
	var trees := stage.get_node("Trees")
	for tree in trees.get_children():
		trees.remove_child(tree)
		tree.free()
	trees.add_child(p_tree)
	p_tree.material_trunk = load("res://materials/bark.tres")
	var twig: ShaderMaterial = load("res://materials/twig.tres")
	if p_tree.twig_leaf_variants > 1:
		twig = twig.duplicate()
		twig.set_shader_parameter("leaf_atlas", true)
	p_tree.material_twig = twig
	# note: outside the scene tree the node has grown nothing yet; bake_mesh() grows the tree.
	var bounds: AABB = p_tree.bake_mesh().get_aabb()
	var camera: Camera3D = stage.get_node("Camera3D")
	var center := bounds.get_center()
	var radius := bounds.size.length() / 2.0
	var distance := radius / tan(deg_to_rad(camera.fov) / 2.0)
	camera.position = center + Vector3(0.35, 0.25, 1.0).normalized() * distance
	camera.look_at_from_position(camera.position, center)
	return stage


func _viewport(p_scene: Node, p_size: Vector2i, p_msaa: Viewport.MSAA) -> SubViewport:
	var viewport := SubViewport.new()
	viewport.size = p_size
	viewport.own_world_3d = true
	viewport.msaa_3d = p_msaa
	viewport.render_target_update_mode = SubViewport.UPDATE_ALWAYS
	viewport.add_child(p_scene)
	root.add_child(viewport)
	return viewport


func _render(p_scene: Node, p_size: Vector2i, p_path: String, p_msaa := Viewport.MSAA_4X) -> void:
	var viewport := _viewport(p_scene, p_size, p_msaa)
	# Noise textures are made on worker threads: give them time before the picture.
	for i in 30:
		await process_frame
	await create_timer(1.0).timeout
	await RenderingServer.frame_post_draw
	var error := viewport.get_texture().get_image().save_png(p_path)
	print("%s %s" % [p_path.get_file(), "written" if error == OK else error_string(error)])
	viewport.free()
