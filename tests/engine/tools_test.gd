# The node's tools outside the editor: the shipped presets, a preset saved and applied, the
# new seed, the baked mesh file and the glTF export. (The editor's undo steps are in
# res://tests/editor/.)
extends "res://tests/engine_test.gd"

const PRESETS := "res://addons/wendrel3d/presets/"
# Read by scripts/engine-test.sh, which runs the Khronos validator over the files left here.
const GLTF_OUT := "res://tests/out/"


# The parameters a preset holds: the stored properties of its own class.
func preset_properties() -> Array[String]:
	var names: Array[String] = []
	for info in ClassDB.class_get_property_list("Wendrel3DPreset", true):
		if info.usage & PROPERTY_USAGE_STORAGE:
			names.append(info.name)
	return names


# Trap: a .tres written from another table than the tool's, or an apply that drops a value.
func test_each_shipped_preset_grows_the_tree_of_the_tools_preset() -> void:
	var files := Array(DirAccess.get_files_at(PRESETS)).filter(func(f): return f.ends_with(".tres"))
	check_eq(files.size(), 5, "shipped presets")
	for file in files:
		var preset: Resource = load(PRESETS + file)
		check_eq(preset.get_class(), "Wendrel3DPreset", file)
		var scene: Node3D = load("res://presets/" + file.get_basename() + ".tscn").instantiate()
		tree.root.add_child(scene)
		var node := add_tree_node()
		check_eq(node.apply_preset(preset), OK, file + " applied")
		for name in preset_properties():
			check_eq(node.get(name), scene.get(name), file + " " + name)
		check(shown(node) == shown(scene), file + ": the same arrays as the tool's scene")
		node.free()
		scene.free()


# Every value survives save and load, and a fresh node grows the very same tree from it.
func test_a_saved_preset_round_trips_every_value() -> void:
	var source := add_tree_node()
	var rng := RandomNumberGenerator.new()
	rng.seed = 24
	var names := preset_properties()
	check(names.size() >= 20, "the preset holds the node's parameters")
	for name in names:
		var value: Variant = source.get(name)
		source.set(name, value + 1 if value is int else value * rng.randf_range(0.8, 1.2))
	var path := "user://round_trip_preset.tres"
	check_eq(source.save_preset(path), OK, "saved")
	var loaded: Resource = ResourceLoader.load(path, "", ResourceLoader.CACHE_MODE_IGNORE)
	var target := add_tree_node()
	check_eq(target.apply_preset(loaded), OK, "applied")
	for name in names:
		check_eq(target.get(name), source.get(name), name)
	check(shown(target) == shown(source), "the same arrays")
	DirAccess.remove_absolute(path)


# A preset whose tree cannot be built is refused whole: every value and the tree stay.
func test_an_unbuildable_preset_changes_nothing() -> void:
	var node := add_tree_node()
	var before := shown(node)
	var preset: Resource = node.make_preset()
	preset.trunk_segments = 8
	preset.trunk_radius_falloff_rate = 0.0
	check_eq(node.apply_preset(preset), ERR_INVALID_DATA, "refused")
	check_eq(take_errors().size(), 1, "one error says why")
	check_eq(node.trunk_segments, 6, "trunk_segments kept")
	check(shown(node) == before, "the tree kept")


# The buttons call the same methods outside the editor; the seed changes within the
# inspector's range, and the baked mesh saved to a file loads back with both surfaces.
func test_seed_and_baked_mesh_buttons() -> void:
	var node := add_tree_node()
	var before := shown(node)
	var button: Callable = node.get("tool_randomize_seed")
	button.call()
	check(node.seed != 262 and node.seed >= 0 and node.seed <= 100000, "a new seed: %d" % node.seed)
	check(shown(node) != before, "a new tree")
	var previous: int = node.seed
	check(node.randomize_seed() != previous, "randomize_seed() picks another seed again")
	var path := "user://baked_tree.res"
	check_eq(node.save_baked_mesh(path), OK, "saved the baked mesh")
	var mesh: ArrayMesh = ResourceLoader.load(path, "", ResourceLoader.CACHE_MODE_IGNORE)
	check_eq(mesh.get_surface_count(), 2, "bark and twigs")
	check(mesh.surface_get_arrays(0)[Mesh.ARRAY_VERTEX] == arrays_of(bark(node))[Mesh.ARRAY_VERTEX], "the bark as shown")
	DirAccess.remove_absolute(path)
	# Without a saved scene there is nowhere beside it to save.
	node.get("tool_bake_mesh").call()
	check_eq(take_errors().size(), 1, "bake without a saved scene: one error")


# The engine's glTF writer with both materials; the validator then reads the file.
func test_gltf_export_carries_the_materials() -> void:
	var node := add_tree_node()
	var bark_material := StandardMaterial3D.new()
	bark_material.resource_name = "bark"
	bark_material.albedo_color = Color(0.4, 0.3, 0.2)
	var twig_material := StandardMaterial3D.new()
	twig_material.resource_name = "twig"
	twig_material.transparency = BaseMaterial3D.TRANSPARENCY_ALPHA_SCISSOR
	node.material_trunk = bark_material
	node.material_twig = twig_material
	DirAccess.make_dir_recursive_absolute(GLTF_OUT)
	var path := GLTF_OUT + "tree.glb"
	check_eq(node.export_gltf(path), OK, "exported")
	var state := GLTFState.new()
	check_eq(GLTFDocument.new().append_from_file(ProjectSettings.globalize_path(path), state), OK, "read back")
	var names := state.get_materials().map(func(m): return m.resource_name)
	names.sort()
	check_eq(names, ["bark", "twig"], "materials")
	check_eq(state.get_meshes().size(), 1, "one mesh")
	check_eq(state.get_meshes()[0].mesh.get_surface_count(), 2, "bark and twig surfaces")
