# Measures what distance LOD saves: the triangles the renderer draws for the default tree and
# the largest preset at 5, 30 and 150 metres, with lod_enable off and on, in the
# Compatibility renderer; writes one picture per tree and distance (off on the left, on on
# the right, cut to the tree and enlarged) and prints a table.
#     godot --rendering-driver opengl3 --rendering-method gl_compatibility --path <project> \
#         -s res://lod/measure.gd -- <output folder>
extends SceneTree

const SIZE := Vector2i(640, 360)
const DISTANCES := [5.0, 30.0, 150.0]
const TREES := ["default", "weeping"]
const CROP_HEIGHT := 240


func _initialize() -> void:
	_measure_all.call_deferred()


func _measure_all() -> void:
	var out: String = OS.get_cmdline_user_args()[0]
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
	var viewport := SubViewport.new()
	viewport.size = SIZE
	viewport.own_world_3d = true
	viewport.render_target_update_mode = SubViewport.UPDATE_ALWAYS
	var stage := Node3D.new()
	var tree: Node3D = load("res://presets/%s.tscn" % p_tree).instantiate()
	tree.material_trunk = load("res://materials/bark.tres")
	tree.material_twig = load("res://materials/twig.tres")
	tree.lod_enable = p_lod
	stage.add_child(tree)
	var sun := DirectionalLight3D.new()
	sun.rotation_degrees = Vector3(-50, 30, 0)
	stage.add_child(sun)
	var bounds: AABB = tree.get_child(0, true).mesh.get_aabb().merge(tree.get_child(1, true).mesh.get_aabb())
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
