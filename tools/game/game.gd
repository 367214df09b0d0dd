# The README's pictures of the game features, in the Compatibility renderer:
# - wind.png: the default tree coloured by its wind records;
# - collision.png: the default tree with its collision capsules;
# - <tree>-<distance>m.png: what distance LOD saves, for the default tree and the largest
#   preset at 5, 30 and 150 metres, lod_enable off on the left and on on the right (cut to
#   the tree and enlarged); the triangles drawn are printed as a table.
#     godot --rendering-driver opengl3 --rendering-method gl_compatibility --path <project> \
#         -s res://game/game.gd -- <output folder>
extends SceneTree

const SIZE := Vector2i(640, 360)
const DISTANCES := [5.0, 30.0, 150.0]
const TREES := ["default", "weeping"]
const CROP_HEIGHT := 240


func _initialize() -> void:
	_measure_all.call_deferred()


func _measure_all() -> void:
	var out: String = OS.get_cmdline_user_args()[0]
	var wind: Node3D = load("res://presets/default.tscn").instantiate()
	wind.wind_data = true
	wind.material_trunk = _wind_view("ALBEDO = mix(vec3(0.1, 0.2, 0.9), vec3(0.95, 0.15, 0.1), COLOR.r);")
	wind.material_twig = _wind_view("ALBEDO = mix(vec3(0.1, 0.5, 0.1), vec3(1.0, 0.9, 0.1), COLOR.a);")
	(await _shoot_tree(wind, 9.0))[1].save_png(out.path_join("wind.png"))
	_time_regrowth()
	var capsules: Node3D = load("res://presets/default.tscn").instantiate()
	capsules.material_trunk = load("res://materials/bark.tres")
	capsules.twig_enable = false
	capsules.collision_enable = true
	root.add_child(capsules) # the tree, and its body, grow on entering the scene tree
	_show_capsules(capsules)
	root.remove_child(capsules)
	(await _shoot_tree(capsules, 9.0))[1].save_png(out.path_join("collision.png"))
	print("| tree | distance | triangles, LOD off | triangles, LOD on | saved |")
	print("|---|---|---|---|---|")
	for tree_name in TREES:
		for distance in DISTANCES:
			var off: Array = await _shoot(tree_name, distance, false)
			var on: Array = await _shoot(tree_name, distance, true)
			var saved: float = 100.0 * (1.0 - float(on[0]) / maxf(1.0, float(off[0])))
			print("| %s | %d m | %d | %d | %d %% |" % [tree_name, distance, off[0], on[0], saved])
			_side_by_side(off[1], on[1]).save_png(out.path_join("%s-%dm.png" % [tree_name, distance]))
	quit()


# Renders the tree seen level from p_distance metres; returns [triangles drawn, picture of
# the tree cut out of the frame].
func _shoot(p_tree: String, p_distance: float, p_lod: bool) -> Array:
	var tree: Node3D = load("res://presets/%s.tscn" % p_tree).instantiate()
	tree.material_trunk = load("res://materials/bark.tres")
	tree.material_twig = load("res://materials/twig.tres")
	tree.lod_enable = p_lod
	return await _shoot_tree(tree, p_distance)


func _shoot_tree(tree: Node3D, p_distance: float) -> Array:
	var viewport := SubViewport.new()
	viewport.size = SIZE
	viewport.own_world_3d = true
	viewport.render_target_update_mode = SubViewport.UPDATE_ALWAYS
	var stage := Node3D.new()
	stage.add_child(tree)
	var sun := DirectionalLight3D.new()
	sun.rotation_degrees = Vector3(-50, 30, 0)
	stage.add_child(sun)
	var bounds: AABB = tree.get_child(0, true).mesh.get_aabb()
	if tree.twig_enable:
		bounds = bounds.merge(tree.get_child(1, true).mesh.get_aabb())
	var camera := Camera3D.new()
	camera.fov = 60.0
	stage.add_child(camera)
	var target := bounds.get_center()
	camera.look_at_from_position(target + Vector3(0, 0, p_distance), target)
	var environment := Environment.new()
	environment.background_mode = Environment.BG_COLOR
	environment.background_color = Color(0.75, 0.82, 0.9)
	environment.ambient_light_source = Environment.AMBIENT_SOURCE_COLOR
	environment.ambient_light_color = Color(0.5, 0.5, 0.5)
	var world := WorldEnvironment.new()
	world.environment = environment
	stage.add_child(world)
	viewport.add_child(stage)
	root.add_child(viewport)
	for i in 20:
		await process_frame
	await RenderingServer.frame_post_draw
	var triangles := viewport.get_render_info(Viewport.RENDER_INFO_TYPE_VISIBLE, Viewport.RENDER_INFO_PRIMITIVES_IN_FRAME)
	var picture := _cut_out(viewport.get_texture().get_image(), camera, bounds)
	viewport.free()
	return [triangles, picture]


# The part of the frame the tree's bounds cover, scaled to CROP_HEIGHT pixels high without
# smoothing, so that a far tree's pixels stay visible.
func _cut_out(p_frame: Image, p_camera: Camera3D, p_bounds: AABB) -> Image:
	var low := Vector2(INF, INF)
	var high := Vector2(-INF, -INF)
	for i in 8:
		var point := p_camera.unproject_position(p_bounds.get_endpoint(i))
		low = low.min(point)
		high = high.max(point)
	var frame_rect := Rect2i(Vector2i.ZERO, p_frame.get_size())
	var rect := Rect2i(Vector2i(low.floor()), Vector2i((high - low).ceil()) + Vector2i.ONE).intersection(frame_rect)
	var part := p_frame.get_region(rect)
	var scale: float = float(CROP_HEIGHT) / part.get_height()
	part.resize(maxi(1, int(part.get_width() * scale)), CROP_HEIGHT, Image.INTERPOLATE_NEAREST)
	return part


func _side_by_side(p_left: Image, p_right: Image) -> Image:
	var gap := 8
	var result := Image.create(p_left.get_width() + gap + p_right.get_width(), CROP_HEIGHT, false, p_left.get_format())
	result.fill(Color.WHITE)
	result.blit_rect(p_left, Rect2i(Vector2i.ZERO, p_left.get_size()), Vector2i.ZERO)
	p_right.convert(p_left.get_format())
	result.blit_rect(p_right, Rect2i(Vector2i.ZERO, p_right.get_size()), Vector2i(p_left.get_width() + gap, 0))
	return result


# An unshaded material that shows a wind channel as a colour.
func _wind_view(p_albedo: String) -> ShaderMaterial:
	var shader := Shader.new()
	shader.code = "shader_type spatial;\nrender_mode unshaded, cull_disabled;\nvoid fragment() { %s }\n" % p_albedo
	var material := ShaderMaterial.new()
	material.shader = shader
	return material


# A see-through capsule mesh over every collision capsule of the tree.
func _show_capsules(p_tree: Node3D) -> void:
	var look := StandardMaterial3D.new()
	look.albedo_color = Color(1.0, 0.35, 0.1, 0.45)
	look.transparency = BaseMaterial3D.TRANSPARENCY_ALPHA
	look.shading_mode = BaseMaterial3D.SHADING_MODE_UNSHADED
	for child in p_tree.get_children(true):
		if child is StaticBody3D:
			for owner_id in child.get_shape_owners():
				var shape: CapsuleShape3D = child.shape_owner_get_shape(owner_id, 0)
				var mesh := CapsuleMesh.new()
				mesh.radius = shape.radius
				mesh.height = shape.height
				mesh.material = look
				var instance := MeshInstance3D.new()
				instance.mesh = mesh
				instance.transform = child.shape_owner_get_transform(owner_id)
				p_tree.add_child(instance)


# What the levels of detail add to a regrowth: the mean time of a seed change, off and on.
func _time_regrowth() -> void:
	for tree_name in TREES:
		var tree: Node3D = load("res://presets/%s.tscn" % tree_name).instantiate()
		root.add_child(tree) # outside the scene tree a setter only stores its value
		var times := []
		for lod in [false, true]:
			tree.lod_enable = lod
			var start := Time.get_ticks_usec()
			for i in 20:
				tree.seed = 300 + i
			times.append((Time.get_ticks_usec() - start) / 20000.0)
		print("| regrowth of %s | %.1f ms | %.1f ms |" % [tree_name, times[0], times[1]])
		tree.free()
