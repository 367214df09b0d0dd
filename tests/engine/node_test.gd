# The Wendrel3D node in the engine: registration, what it draws, setters, refusals,
# children, duplication, saving and freeing.
#
# Each behaviour of the node has one owner. The stand-in suite (tests/node, godot-cpp's calls
# recorded) owns the call contracts; this suite owns what only the engine shows.
#   registration: names, accessors, types and defaults against doc_classes/Wendrel3D.xml,
#     ranges from the property table -> tests/node/registration_test.cpp; the inspector's
#     order, groups, const flags and the README's ranges -> test_registration_matches_the_readme;
#     the class reference in the editor's help -> docs_test.gd
#   which surfaces a setter rebuilds -> tests/node/node_mesh_test.cpp (from the property table,
#     whose claims tests/model/invariants_test.cpp checks); that the new meshes equal a fresh
#     node's -> test_each_setter_shows_a_fresh_nodes_tree
#   the arrays handed over, one call per surface -> node_mesh_test.cpp; what the engine keeps
#     of them -> test_default_tree_is_the_generators, growth_test.gd (bulk hand-over)
#   bark front faces outwards -> test_bark_faces_outwards (the engine's winding);
#     twig cards face their normals -> node_mesh_test.cpp
#   refusals (stored value, tree and meshes kept, one message naming the property) ->
#     node_lifecycle_test.cpp; the message in the engine's log -> test_refusals_keep_the_tree
#   twig switch and materials, leaving and re-entering the tree -> node_lifecycle_test.cpp;
#     the internal children the engine counts -> test_twig_switch_and_materials,
#     test_leaving_and_reentering_the_tree
#   duplication, packing and saving -> test_duplicate, test_pack_save_and_reload
#   freeing: children freed with the node -> node_lifecycle_test.cpp; no object left in the
#     engine -> test_freeing_leaves_no_object
#   growth on worker threads -> node_lifecycle_test.cpp (call order), growth_test.gd (the
#     engine's thread pool, processing and the signal)
#   wind, collision and LOD -> node_game_test.cpp (records and shapes), game_test.gd (what
#     the engine draws and hits)
extends "res://tests/engine_test.gd"

# A new value for every numeric property.
const CHANGES := {
	"seed": 7,
	"trunk_segments": 8,
	"trunk_branches_count": 4,
	"trunk_height": 3,
	"trunk_branch_length": 0.6,
	"trunk_branch_length_falloff": 0.9,
	"trunk_branch_factor": 2.0,
	"trunk_branch_clump_max": 0.5,
	"trunk_branch_clump_min": 0.3,
	"trunk_drop_amount": -0.2,
	"trunk_grow_amount": 0.3,
	"trunk_sweep_amount": 0.1,
	"trunk_max_radius": 0.2,
	"trunk_radius_falloff_rate": 0.6,
	"trunk_climb_rate": 0.5,
	"trunk_kink": 0.2,
	"trunk_twist": 2.0,
	"trunk_length": 2.0,
	"trunk_uv_multiplier": 0.5,
	"twig_scale": 0.5,
	"twig_cards_per_tip": 3,
	"twig_crossed": 1,
	"twig_aspect": 2.5,
	"twig_leaf_variants": 4,
}


# What a new node shows once in the scene tree, after one property was set before.
func fresh_arrays(property: String, value: Variant) -> Array:
	var node: Node3D = ClassDB.instantiate("Wendrel3D")
	node.set(property, value)
	tree.root.add_child(node)
	var arrays := shown(node)
	node.free()
	return arrays


# The rows of the README's property table: name, type, range, default.
func readme_properties() -> Array:
	var text := FileAccess.get_file_as_string("res://tests/README.md")
	var section := text.get_slice("### Properties", 1)
	var rows := []
	for line in section.split("\n"):
		if line.begins_with("| `"):
			var cells := Array(line.split("|")).map(func(c): return c.strip_edges())
			rows.append([cells[1].trim_prefix("`").trim_suffix("`"), cells[2], cells[3], cells[4]])
	return rows


func check_registered_like_readme(row: Array, info: Dictionary, default_value: Variant) -> void:
	var name: String = row[0]
	var types := {"int": TYPE_INT, "float": TYPE_FLOAT, "bool": TYPE_BOOL, "Material": TYPE_OBJECT}
	check_eq(info.type, types[row[1]], name + " type")
	check_eq(info.usage, PROPERTY_USAGE_DEFAULT, name + " usage")
	if row[1] == "Material":
		check_eq(info.hint, PROPERTY_HINT_RESOURCE_TYPE, name + " hint")
		check_eq(info.hint_string, row[2].replace(" ", ""), name + " classes")
		check_eq(default_value, null, name + " default")
	elif row[1] == "bool":
		check_eq(default_value, row[3] == "true", name + " default")
	else:
		check_eq(info.hint, PROPERTY_HINT_RANGE, name + " hint")
		var hint: PackedStringArray = info.hint_string.split(",")
		var range_text: String = row[2].get_slice(",", 0)
		check(is_equal_approx(float(hint[0]), float(range_text.get_slice(" to ", 0)))
				and is_equal_approx(float(hint[1]), float(range_text.get_slice(" to ", 1))),
				"%s range %s, README %s" % [name, info.hint_string, row[2]])
		if row[2].contains("step"):
			check_eq(float(hint[2]), float(row[2].get_slice("step ", 1)), name + " step")
		check(absf(float(default_value) - float(row[3])) < 1e-6, "%s default %s, README %s" % [name, default_value, row[3]])


func test_registration_matches_the_readme() -> void:
	check_eq(ClassDB.get_parent_class("Wendrel3D"), "Node3D", "parent class")
	var methods := ClassDB.class_get_method_list("Wendrel3D", true).filter(func(m): return not m.name.begins_with("_"))
	check_eq(methods.size(), 73, "bound methods")
	# get_uv_multiplier and the twig cards' shape are the const getters of the tree's shape;
	# those of the game features and the tools are all const, as is is_growing.
	var const_getters := ["get_uv_multiplier", "get_twig_cards_per_tip", "get_twig_crossed", "get_twig_aspect",
			"get_twig_leaf_variants", "get_wind_data", "get_collision_enable", "get_collision_min_radius",
			"get_lod_enable", "is_growing", "make_preset", "get_tool_preset"]
	for method in methods:
		check_eq(method.flags & METHOD_FLAG_CONST != 0, method.name in const_getters, method.name + " const")
	check(ClassDB.class_has_signal("Wendrel3D", "tree_grown"), "signal tree_grown")
	var properties := []
	var groups := []
	for info in ClassDB.class_get_property_list("Wendrel3D", true):
		if info.usage & PROPERTY_USAGE_GROUP:
			groups.append(info.name)
		elif info.usage & PROPERTY_USAGE_STORAGE:
			properties.append(info)
	# The tools' properties, first, are the editor's only; the README describes them apart.
	check_eq(groups, ["Trunk", "Twig", "Materials", "Wind", "Collision", "LOD"], "groups")
	var rows := readme_properties()
	check_eq(properties.map(func(p): return p.name), rows.map(func(r): return r[0]), "properties in order")
	var node: Node3D = add_tree_node()
	for i in mini(rows.size(), properties.size()):
		check_registered_like_readme(rows[i], properties[i], node.get(rows[i][0]))


# What the engine holds is what the generator made: the tool's JSON of the default tree.
func test_default_tree_is_the_generators() -> void:
	var model: Dictionary = JSON.parse_string(FileAccess.get_file_as_string("res://tests/default.json"))
	var node := add_tree_node()
	for surface in [["", bark(node)], ["twig_", twigs(node)]]:
		var prefix: String = surface[0]
		var arrays := arrays_of(surface[1])
		var vertices: PackedVector3Array = arrays[Mesh.ARRAY_VERTEX]
		var normals: PackedVector3Array = arrays[Mesh.ARRAY_NORMAL]
		var uvs: PackedVector2Array = arrays[Mesh.ARRAY_TEX_UV]
		check_eq(vertices.size(), int(model[prefix + "vertex_count"]), prefix + "vertex count")
		check_eq(arrays[Mesh.ARRAY_INDEX].size(), 3 * int(model[prefix + "face_count"]), prefix + "index count")
		var mismatches := 0
		for i in mini(vertices.size(), int(model[prefix + "vertex_count"])):
			var p: Array = model[prefix + "vertices"][i]
			var n: Array = model[prefix + "normals"][i]
			var uv: Array = model[prefix + "uvs"][i]
			# Normals are stored compressed, as unit directions.
			var model_normal := Vector3(n[0], n[1], n[2]).normalized()
			if vertices[i] != Vector3(p[0], p[1], p[2]) or uvs[i] != Vector2(uv[0], uv[1]) \
					or (model_normal != Vector3.ZERO and normals[i].dot(model_normal) < 0.999):
				mismatches += 1
		check_eq(mismatches, 0, prefix + "vertices unlike the generator's")
		check_eq(triangle_set(arrays[Mesh.ARRAY_INDEX]), reversed_triangle_set(model[prefix + "faces"]),
				prefix + "triangles: the model's, each with its second and third corner swapped")
	check_eq(bark(node).mesh.get_surface_count(), 1, "bark surfaces")


func canonical(a: int, b: int, c: int) -> String:
	var m := mini(a, mini(b, c))
	return "%d %d %d" % ([a, b, c] if m == a else ([b, c, a] if m == b else [c, a, b]))


func triangle_set(indices: PackedInt32Array) -> Array:
	var keys := []
	for t in indices.size() / 3:
		keys.append(canonical(indices[3 * t], indices[3 * t + 1], indices[3 * t + 2]))
	keys.sort()
	return keys


func reversed_triangle_set(faces: Array) -> Array:
	var keys := []
	for f in faces:
		keys.append(canonical(int(f[0]), int(f[2]), int(f[1])))
	keys.sort()
	return keys


# The engine draws clockwise triangles as front faces: the bark's must face outwards.
func test_bark_faces_outwards() -> void:
	var node := add_tree_node()
	var arrays := arrays_of(bark(node))
	var v: PackedVector3Array = arrays[Mesh.ARRAY_VERTEX]
	var n: PackedVector3Array = arrays[Mesh.ARRAY_NORMAL]
	var idx: PackedInt32Array = arrays[Mesh.ARRAY_INDEX]
	var volume := 0.0
	var folded := 0
	for t in idx.size() / 3:
		var a := idx[3 * t]
		var b := idx[3 * t + 1]
		var c := idx[3 * t + 2]
		var front := (v[c] - v[a]).cross(v[b] - v[a])
		volume += v[a].dot(front) / 6.0
		if front.dot(n[a] + n[b] + n[c]) < 0.0:
			folded += 1
	check(volume > 0.4, "signed volume %f: the bark is inside out" % volume)
	# The generator folds a few triangles where branches fork; no more than that.
	check(folded < idx.size() / 3 / 50, "%d of %d triangles face against their normals" % [folded, idx.size() / 3])
	print("  bark: signed volume %.3f, %d of %d triangles folded" % [volume, folded, idx.size() / 3])


func test_each_setter_shows_a_fresh_nodes_tree() -> void:
	for property in CHANGES:
		var node := add_tree_node()
		var value = CHANGES[property]
		node.set(property, value)
		check(node.get(property) == value or is_equal_approx(node.get(property), value), property + " reads back")
		check(shown(node) == fresh_arrays(property, value), property + ": meshes unlike a fresh node's")
		node.free()


func test_refusals_keep_the_tree() -> void:
	var node := add_tree_node()
	var before := [bark(node).mesh, twigs(node).mesh]
	node.trunk_branches_count = 40
	var errors := take_errors()
	check(errors.size() == 1 and errors[0].contains("trunk_branches_count"), "oversize: one error, got %s" % [errors])
	check_eq(node.trunk_branches_count, 5, "oversize branches count kept")
	for property in CHANGES:
		if typeof(CHANGES[property]) != TYPE_FLOAT:
			continue
		var kept = node.get(property)
		for value in [NAN, INF, -INF]:
			node.set(property, value)
			errors = take_errors()
			check(errors.size() == 1 and errors[0].contains(property), "%s = %s: one error, got %s" % [property, value, errors])
			check_eq(node.get(property), kept, property + " kept")
	check_eq([bark(node).mesh, twigs(node).mesh], before, "meshes after refusals")


func test_twig_switch_and_materials() -> void:
	var node := add_tree_node()
	var bark_material := StandardMaterial3D.new()
	var twig_material := ShaderMaterial.new()
	node.material_trunk = bark_material
	node.material_twig = twig_material
	check_eq(bark(node).get_surface_override_material(0), bark_material, "bark material on the child")
	node.seed = 9
	check_eq([node.material_trunk, node.material_twig], [bark_material, twig_material], "materials after a rebuild")
	node.twig_enable = false
	check_eq(node.get_child_count(true), 1, "children with twigs off")
	check_eq(node.material_twig, twig_material, "twig material kept with twigs off")
	node.twig_enable = true
	check_eq(node.get_child_count(true), 2, "children with twigs on")
	check_eq(twigs(node).get_surface_override_material(0), twig_material, "twig material on the new child")
	check(shown(node) == fresh_arrays("seed", 9), "meshes after twigs off and on")


func test_leaving_and_reentering_the_tree() -> void:
	var node := add_tree_node()
	var material := StandardMaterial3D.new()
	node.material_trunk = material
	tree.root.remove_child(node)
	node.seed = 11
	tree.root.add_child(node)
	check_eq(node.get_child_count(true), 2, "children")
	check_eq(node.material_trunk, material, "material")
	check(shown(node) == fresh_arrays("seed", 11), "meshes after a change outside the tree")


# The children are internal: a duplicate has its own two, showing its own tree.
func test_duplicate() -> void:
	var node := add_tree_node()
	node.seed = 7
	var material := StandardMaterial3D.new()
	node.material_trunk = material
	var copy: Node3D = node.duplicate()
	tree.root.add_child(copy)
	check_eq([copy.get_child_count(), copy.get_child_count(true)], [0, 2], "ordinary and internal children of the copy")
	check_eq(copy.material_trunk, material, "material of the copy")
	copy.seed = 8
	check(shown(copy) == fresh_arrays("seed", 8), "the copy shows its own tree")
	check(shown(node) == fresh_arrays("seed", 7), "the original keeps its tree")


func test_pack_save_and_reload() -> void:
	var node := add_tree_node()
	node.seed = 7
	node.twig_scale = 0.5
	node.material_trunk = StandardMaterial3D.new()
	node.material_twig = ShaderMaterial.new()
	node.twig_enable = false
	var scene := PackedScene.new()
	check_eq(scene.pack(node), OK, "pack")
	var path := "user://wendrel_saved.tscn"
	check_eq(ResourceSaver.save(scene, path), OK, "save")
	check(not FileAccess.get_file_as_string(path).contains("MeshInstance3D"), "the children are not saved")
	var loaded: Node3D = (ResourceLoader.load(path, "", ResourceLoader.CACHE_MODE_IGNORE) as PackedScene).instantiate()
	tree.root.add_child(loaded)
	check_eq([loaded.seed, loaded.twig_scale, loaded.get_child_count(true)], [7, 0.5, 1], "reloaded node")
	check(loaded.material_trunk is StandardMaterial3D, "reloaded material")
	check(loaded.material_twig is ShaderMaterial, "twig material saved while twigs were off")
	check(shown(loaded) == shown(node), "reloaded meshes")
	DirAccess.remove_absolute(path)


func test_freeing_leaves_no_object() -> void:
	var count := Performance.get_monitor(Performance.OBJECT_COUNT)
	var node: Node3D = ClassDB.instantiate("Wendrel3D")
	node.material_trunk = StandardMaterial3D.new()
	node.seed = 3
	node.twig_enable = false
	node.twig_enable = true
	var copy := node.duplicate()
	node.free()
	copy.free()
	check_eq(Performance.get_monitor(Performance.OBJECT_COUNT), count, "objects after freeing")
