# How the node hands its tree to the engine and when it grows it: the surfaces against the
# per-vertex hand-over, one growth per scene load, no processing when idle, large trees on a
# worker thread, and the baked mesh.
extends "res://tests/engine_test.gd"


# The mesh that the per-vertex SurfaceTool hand-over commits for the generator's arrays (the
# tool's JSON of the default tree), each triangle as first, third, second corner.
func per_vertex_mesh(model: Dictionary, prefix: String) -> ArrayMesh:
	var tool := SurfaceTool.new()
	tool.begin(Mesh.PRIMITIVE_TRIANGLES)
	for i in int(model[prefix + "vertex_count"]):
		var uv: Array = model[prefix + "uvs"][i]
		var n: Array = model[prefix + "normals"][i]
		var p: Array = model[prefix + "vertices"][i]
		tool.set_uv(Vector2(uv[0], uv[1]))
		tool.set_normal(Vector3(n[0], n[1], n[2]))
		tool.add_vertex(Vector3(p[0], p[1], p[2]))
	for f in model[prefix + "faces"]:
		tool.add_index(int(f[0]))
		tool.add_index(int(f[2]))
		tool.add_index(int(f[1]))
	tool.optimize_indices_for_cache()
	return tool.commit()


# Attribute by attribute and index by index, in the engine's own storage format: when the
# node orders the indices afresh, and when it hands out the order it remembers (a new trunk
# length keeps every triangle, and setting it back regrows the default tree).
func test_bulk_hand_over_commits_the_per_vertex_surface() -> void:
	var model: Dictionary = JSON.parse_string(FileAccess.get_file_as_string("res://tests/default.json"))
	var node := add_tree_node()
	for order in ["fresh", "remembered"]:
		if order == "remembered":
			var length: float = node.trunk_length
			node.trunk_length = 3.0
			node.trunk_length = length
		for surface in [["", bark(node)], ["twig_", twigs(node)]]:
			var expected := per_vertex_mesh(model, surface[0])
			var actual: ArrayMesh = surface[1].mesh
			check_eq(actual.surface_get_format(0), expected.surface_get_format(0), surface[0] + "format")
			var expected_arrays := expected.surface_get_arrays(0)
			var actual_arrays := actual.surface_get_arrays(0)
			for slot in Mesh.ARRAY_MAX:
				check(actual_arrays[slot] == expected_arrays[slot],
						"%s order: %sslot %d unlike the per-vertex hand-over's" % [order, surface[0], slot])


# A saved scene of 100 trees that each store 20 properties grows 100 trees, once each, when
# it enters the scene tree; and each shows the tree of its properties.
func test_a_loaded_scene_grows_each_tree_once() -> void:
	var scene := PackedScene.new()
	var root := Node3D.new()
	for i in 100:
		var node: Node3D = ClassDB.instantiate("Wendrel3D")
		for property in node_test().CHANGES:
			node.set(property, node_test().CHANGES[property])
		node.seed = i
		root.add_child(node)
		node.owner = root
	check_eq(scene.pack(root), OK, "pack")
	root.free()
	var loaded := scene.instantiate()
	var grown := [0]
	for node in loaded.get_children():
		node.tree_grown.connect(func(): grown[0] += 1)
	tree.root.add_child(loaded)
	check_eq(grown[0], 100, "growths")
	var last: Node3D = loaded.get_child(99)
	check(shown(last) == shown_after_entering(last.duplicate()), "the loaded tree is the tree of its properties")


func node_test() -> Script:
	return load("res://tests/node_test.gd")


func shown_after_entering(node: Node3D) -> Array:
	tree.root.add_child(node)
	var arrays := shown(node)
	node.free()
	return arrays


func test_an_idle_node_does_not_process() -> void:
	var node := add_tree_node()
	await tree.process_frame
	check(not node.is_processing(), "processing while idle")


# trunk_height 100000 grows for about a minute: the setter returns at once, frames go on,
# and a newer small value shows at once; the abandoned growth stops at its next step.
func test_a_large_tree_grows_off_the_main_thread() -> void:
	var node := add_tree_node()
	var before := shown(node)
	var start := Time.get_ticks_msec()
	node.trunk_height = 100000
	var took := Time.get_ticks_msec() - start
	check(took < 100, "the setter took %d ms" % took)
	check(node.is_growing(), "growing")
	var frames := Engine.get_process_frames()
	for i in 3:
		await tree.process_frame
	check_eq(Engine.get_process_frames(), frames + 3, "frames")
	check(shown(node) == before, "the old tree stays shown meanwhile")
	node.trunk_height = 5
	check(not node.is_growing(), "no longer growing")
	check(shown(node) == before, "the small tree shows at once")
	print("  trunk_height 100000: the setter took %d ms" % took)


# A large tree that is not superseded is shown when done, with the signal.
func test_a_large_tree_is_shown_with_a_signal() -> void:
	var node := add_tree_node()
	var material := StandardMaterial3D.new()
	node.material_trunk = material
	node.trunk_branches_count = 12
	check(node.is_growing(), "growing")
	await node.tree_grown
	check(not node.is_growing(), "done")
	var baked: ArrayMesh = node.bake_mesh()
	check(arrays_of(bark(node)) == baked.surface_get_arrays(0), "the grown bark")
	check_eq(bark(node).get_surface_override_material(0), material, "bark material on the new mesh")
	await tree.process_frame
	check(not node.is_processing(), "processing after the growth")


func test_freeing_or_leaving_while_growing() -> void:
	var count := Performance.get_monitor(Performance.OBJECT_COUNT)
	var node: Node3D = ClassDB.instantiate("Wendrel3D")
	tree.root.add_child(node)
	node.trunk_height = 100000 # seconds of skeleton growth
	var start := Time.get_ticks_msec()
	tree.root.remove_child(node)
	var leaving := Time.get_ticks_msec() - start
	check(not node.is_growing(), "a node outside the tree grows nothing")
	tree.root.add_child(node)
	check(node.is_growing(), "growing again after re-entering")
	start = Time.get_ticks_msec()
	node.free()
	var freeing := Time.get_ticks_msec() - start
	check_eq(Performance.get_monitor(Performance.OBJECT_COUNT), count, "objects after freeing")
	print("  trunk_height 100000: leaving the tree took %d ms, freeing the node %d ms" % [leaving, freeing])


# The baked mesh holds both surfaces with their materials, and is the node's no more.
func test_bake_mesh() -> void:
	var node := add_tree_node()
	node.material_trunk = StandardMaterial3D.new()
	node.material_twig = ShaderMaterial.new()
	var baked: ArrayMesh = node.bake_mesh()
	check_eq(baked.get_surface_count(), 2, "surfaces")
	check(baked.surface_get_arrays(0) == arrays_of(bark(node)), "bark surface")
	check(baked.surface_get_arrays(1) == arrays_of(twigs(node)), "twig surface")
	check_eq([baked.surface_get_material(0), baked.surface_get_material(1)], [node.material_trunk, node.material_twig], "materials")
	check(baked != bark(node).mesh and baked != twigs(node).mesh, "a new mesh")
	var kept := baked.surface_get_arrays(0)
	node.seed = 5
	check(baked.surface_get_arrays(0) == kept, "unchanged by the node's next tree")
	var path := "user://wendrel_baked.res"
	check_eq(ResourceSaver.save(baked, path), OK, "save")
	var loaded: ArrayMesh = ResourceLoader.load(path, "", ResourceLoader.CACHE_MODE_IGNORE)
	check_eq(loaded.get_surface_count(), 2, "saved surfaces")
	DirAccess.remove_absolute(path)
	node.twig_enable = false
	check_eq(node.bake_mesh().get_surface_count(), 1, "surfaces with twigs off")
	var outside: Node3D = ClassDB.instantiate("Wendrel3D")
	outside.seed = 5
	node.twig_enable = true
	check(outside.bake_mesh().surface_get_arrays(0) == arrays_of(bark(node)), "baked outside the tree")
	outside.free()
