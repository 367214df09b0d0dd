# Wind data, collision and distance LOD in the engine. The demo's wind shaders are compiled
# by demo_test.gd, which opens main.tscn (its trees use them) and fails on any engine error.
extends "res://tests/engine_test.gd"


func colours_of(instance: MeshInstance3D) -> Variant:
	return arrays_of(instance)[Mesh.ARRAY_COLOR]


# The documented encoding: r chain 0..1 (0 exactly on the foot ring, 1 at the farthest tip),
# g level / 15, b phase 0..1, a flutter (1 at a card's outer end, v = 0; 0 on the bark).
func test_wind_channel_holds_the_documented_ranges() -> void:
	var node := add_tree_node()
	check_eq(colours_of(bark(node)), null, "no colours by default")
	node.wind_data = true
	var bark_arrays := arrays_of(bark(node))
	var colours: PackedColorArray = bark_arrays[Mesh.ARRAY_COLOR]
	var vertices: PackedVector3Array = bark_arrays[Mesh.ARRAY_VERTEX]
	check_eq(colours.size(), vertices.size(), "one bark colour per vertex")
	var farthest := 0.0
	var misplaced := 0
	for i in colours.size():
		var c := colours[i]
		farthest = maxf(farthest, c.r)
		var level := c.g * 15.0
		if (c.r == 0.0) != (vertices[i].y == 0.0) or c.a != 0.0 or absf(level - roundf(level)) > 0.02 or c.b >= 1.0:
			misplaced += 1
	check_eq(misplaced, 0, "bark colours outside the encoding")
	check_eq(farthest, 1.0, "the farthest tip")
	var twig_arrays := arrays_of(twigs(node))
	var twig_colours: PackedColorArray = twig_arrays[Mesh.ARRAY_COLOR]
	var uvs: PackedVector2Array = twig_arrays[Mesh.ARRAY_TEX_UV]
	check_eq(twig_colours.size(), uvs.size(), "one twig colour per vertex")
	var wrong_flutter := 0
	for i in mini(twig_colours.size(), uvs.size()):
		if twig_colours[i].a != (1.0 if uvs[i].y == 0.0 else 0.0):
			wrong_flutter += 1
	check_eq(wrong_flutter, 0, "twig colours whose flutter is not the card's end")


func ray(node: Node3D, from: Vector3, to: Vector3) -> Dictionary:
	var query := PhysicsRayQueryParameters3D.create(from, to)
	return node.get_world_3d().direct_space_state.intersect_ray(query)


func body_of(node: Node3D) -> StaticBody3D:
	for child in node.get_children(true):
		if child is StaticBody3D:
			return child
	return null


func test_rays_hit_the_trunk_and_pass_the_crowns_gaps() -> void:
	var node := add_tree_node()
	node.collision_enable = true
	await tree.physics_frame
	await tree.physics_frame
	# Down onto the bare trunk (it stands 2.4 m to its first fork, 0.139 m thick).
	var hit := ray(node, Vector3(1.0, 2.0, 0.0), Vector3(-1.0, 0.0, 0.0))
	check(not hit.is_empty(), "a ray down onto the trunk hits")
	if not hit.is_empty():
		check(absf(hit.position.x - 0.139) < 0.01, "it hits the bark, at %s" % hit.position)
	# Straight down through the crown: thick limbs stop some rays, the twigs let others by.
	var crown: AABB = twigs(node).mesh.get_aabb()
	var hits := 0
	var rays := 0
	for i in 9:
		for j in 9:
			var x: float = lerpf(crown.position.x, crown.end.x, (i + 0.5) / 9.0)
			var z: float = lerpf(crown.position.z, crown.end.z, (j + 0.5) / 9.0)
			rays += 1
			if not ray(node, Vector3(x, crown.end.y + 1.0, z), Vector3(x, -1.0, z)).is_empty():
				hits += 1
	check(hits > 0 and hits < rays, "rays through the crown: %d of %d hit" % [hits, rays])


func test_shapes_are_rebuilt_with_the_tree_and_freed_with_the_node() -> void:
	var node := add_tree_node()
	check_eq(body_of(node), null, "no body by default")
	node.collision_enable = true
	var first := body_of(node)
	var first_count := first.get_shape_owners().size() if first else 0
	check(first_count > 0, "a body with shapes")
	check_eq(node.get_child_count(), 0, "the body is internal")
	node.trunk_height = 12
	var second := body_of(node)
	check(not is_instance_valid(first), "the old body is freed")
	check(second != null and second.get_shape_owners().size() > first_count, "more trunk, more shapes")
	node.collision_min_radius = 0.0
	check(body_of(node).get_shape_owners().size() > 100, "every branch with no minimum radius")
	var last := body_of(node)
	node.free()
	check(not is_instance_valid(last), "the body goes with the node")


# The engine's own levels of detail, on both surfaces, only when asked for.
func test_lod_enable_gives_both_meshes_levels_of_detail() -> void:
	var node := add_tree_node()
	var lods := func(instance: MeshInstance3D) -> int:
		return RenderingServer.mesh_get_surface(instance.mesh.get_rid(), 0).get("lods", []).size()
	check_eq([lods.call(bark(node)), lods.call(twigs(node))], [0, 0], "no levels by default")
	node.lod_enable = true
	check(lods.call(bark(node)) > 0 and lods.call(twigs(node)) > 0, "levels on both surfaces")
	check(shown(node) == fresh_arrays_of_default(), "full detail unchanged")


# Shaped cards reach every output: six cards a tip (three, each crossed), their wind colours,
# their levels of detail and the baked mesh, each card inside one cell of the leaf atlas.
func test_shaped_twig_cards_reach_every_output() -> void:
	var node := add_tree_node()
	var leaves: int = arrays_of(twigs(node))[Mesh.ARRAY_VERTEX].size() / 8
	node.twig_cards_per_tip = 3
	node.twig_crossed = 1
	node.twig_aspect = 2.5
	node.twig_leaf_variants = 4
	node.wind_data = true
	node.lod_enable = true
	var arrays := arrays_of(twigs(node))
	var uvs: PackedVector2Array = arrays[Mesh.ARRAY_TEX_UV]
	check_eq(uvs.size(), 6 * 8 * leaves, "twig vertices")
	check_eq(arrays[Mesh.ARRAY_COLOR].size(), uvs.size(), "wind colours")
	var outside_cell := 0
	for card in uvs.size() / 8:
		var cell := (uvs[8 * card] * 2.0).floor()
		for k in 8:
			var local := uvs[8 * card + k] * 2.0 - cell
			if local.x < 0.0 or local.x > 1.0 or local.y < 0.0 or local.y > 1.0:
				outside_cell += 1
	check_eq(outside_cell, 0, "corners outside their card's atlas cell")
	check(RenderingServer.mesh_get_surface(twigs(node).mesh.get_rid(), 0).get("lods", []).size() > 0, "twig levels")
	check(node.bake_mesh().surface_get_arrays(1) == arrays, "baked twigs")


func fresh_arrays_of_default() -> Array:
	var node := add_tree_node() # the tree grows on entering the scene tree
	var arrays := shown(node)
	node.free()
	return arrays


func lod_count(mesh: Mesh, surface: int) -> int:
	return RenderingServer.mesh_get_surface(mesh.get_rid(), surface).get("lods", []).size()


# Each capsule shape of a scene, as [radius, height, place] in the scene's space, against the
# live node's body: as many, equal, at the same places.
func check_same_capsules(shapes: Array, node: Node3D, what: String) -> void:
	var body := body_of(node)
	var owners := body.get_shape_owners()
	if not check_eq(shapes.size(), owners.size(), what + ": capsules"):
		return
	var wrong := 0
	for i in owners.size():
		var expected: CapsuleShape3D = body.shape_owner_get_shape(owners[i], 0)
		var place: Transform3D = body.shape_owner_get_transform(owners[i])
		var shape: CollisionShape3D = shapes[i]
		var capsule := shape.shape as CapsuleShape3D
		var at := shape.global_transform
		if capsule == null or not is_equal_approx(capsule.radius, expected.radius) or not is_equal_approx(capsule.height, expected.height) \
				or at.origin.distance_to(place.origin) > 1e-5 or at.basis.y.normalized().dot(place.basis.y.normalized()) < 0.99999:
			wrong += 1
	check_eq(wrong, 0, what + ": capsules that differ from the node's")


# bake_scene() keeps what the node shows for games: both surfaces at full detail with their
# materials, wind colours and levels of detail, and a static body with the node's capsules;
# saved and loaded back as a game would ship it. Without collision_enable, no body.
func test_baked_scene_holds_mesh_levels_collision_and_wind() -> void:
	var node := add_tree_node()
	node.material_trunk = StandardMaterial3D.new()
	node.wind_data = true
	node.collision_enable = true
	node.lod_enable = true
	var path := "user://wendrel_baked.scn"
	check_eq(ResourceSaver.save(node.bake_scene(), path), OK, "save")
	var baked: Node3D = (ResourceLoader.load(path, "", ResourceLoader.CACHE_MODE_IGNORE) as PackedScene).instantiate()
	DirAccess.remove_absolute(path)
	tree.root.add_child(baked)
	var mesh: Mesh = (baked.get_node("Mesh") as MeshInstance3D).mesh
	check_eq(mesh.get_surface_count(), 2, "surfaces")
	check(mesh.surface_get_arrays(0) == arrays_of(bark(node)) and mesh.surface_get_arrays(1) == arrays_of(twigs(node)), "the shown surfaces, with their colours")
	check(mesh.surface_get_arrays(0)[Mesh.ARRAY_COLOR] != null, "wind colours")
	check(lod_count(mesh, 0) > 0 and lod_count(mesh, 1) > 0, "levels of detail on both surfaces")
	check(lod_count(node.bake_mesh(), 1) > 0, "bake_mesh keeps them too")
	check(mesh.surface_get_material(0) is StandardMaterial3D, "the bark material")
	check_same_capsules(baked.get_node("Collision").get_children(), node, "baked scene")
	node.collision_enable = false
	var plain: Node = node.bake_scene().instantiate()
	check_eq(plain.get_child_count(), 1, "without collision, the mesh alone")
	plain.free()


# The vertices some triangle uses (those the tool exports) by cell of 1 cm, to find those
# near an imported vertex: the importer reorders the vertices, and keeps the positions in 16
# bits a coordinate within the mesh's bounds.
func used_vertex_cells(arrays: Array) -> Dictionary:
	var vertices: PackedVector3Array = arrays[Mesh.ARRAY_VERTEX]
	var used := {}
	for index in arrays[Mesh.ARRAY_INDEX]:
		used[index] = true
	var cells := {}
	for index in used:
		var cell := Vector3i((vertices[index] * 100.0).floor())
		if not cells.has(cell):
			cells[cell] = PackedInt32Array()
		cells[cell].append(index)
	return cells


# Whether a used live vertex lies within a millimetre of the position with a colour that is the
# record to the 8 bits the colours keep, which the engine cuts down to a multiple of 1/255.
# Several may lie there: a seam's twins and a card's two sides share their record, but the
# cards of two leaves may meet at a corner.
func matches_a_live_vertex(cells: Dictionary, live: Array, position: Vector3, record: Color) -> bool:
	var cell := Vector3i((position * 100.0).floor())
	for dx in [-1, 0, 1]:
		for dy in [-1, 0, 1]:
			for dz in [-1, 0, 1]:
				for index in cells.get(cell + Vector3i(dx, dy, dz), PackedInt32Array()):
					var colour: Color = live[Mesh.ARRAY_COLOR][index]
					if position.distance_to(live[Mesh.ARRAY_VERTEX][index]) < 1e-3 and absf(record.r - colour.r) <= 1.0 / 255.0 \
							and absf(record.g - colour.g) <= 1.0 / 255.0 and absf(record.b - colour.b) <= 1.0 / 255.0 and absf(record.a - colour.a) <= 1.0 / 255.0:
						return true
	return false


# The tool's .glb written with --wind --collision (engine-test.sh puts it in the project before
# the import) as Godot's importer brings it in. Measured in Godot 4.6.3: the importer keeps
# TEXCOORD_0 and _1 as UV and UV2 and joins TEXCOORD_2 and _3 into CUSTOM0 as four 32-bit
# floats; it drops the _WIND attribute; it makes the levels of detail itself; it turns the
# OMI_physics_body node into a StaticBody3D and each collider child into a CollisionShape3D.
func test_imported_gltf_keeps_wind_collision_and_levels() -> void:
	var imported: Node3D = (load("res://tests/imported_tree.glb") as PackedScene).instantiate()
	tree.root.add_child(imported)
	var node := add_tree_node()
	node.wind_data = true
	node.collision_enable = true
	for part in [["bark", bark(node)], ["twigs", twigs(node)]]:
		var mesh: Mesh = (imported.find_child(part[0]) as MeshInstance3D).mesh
		var arrays := mesh.surface_get_arrays(0)
		var custom_format: int = (mesh.surface_get_format(0) >> Mesh.ARRAY_FORMAT_CUSTOM0_SHIFT) & Mesh.ARRAY_FORMAT_CUSTOM_MASK
		check_eq(custom_format, Mesh.ARRAY_CUSTOM_RGBA_FLOAT, part[0] + ": CUSTOM0 format")
		check(lod_count(mesh, 0) > 0, part[0] + ": levels of detail")
		check_eq(arrays[Mesh.ARRAY_COLOR], null, part[0] + ": no vertex colours to tint it")
		# The record of each vertex, against the live node's colour of a vertex at the same place.
		var live := arrays_of(part[1])
		var cells := used_vertex_cells(live)
		var records: PackedFloat32Array = arrays[Mesh.ARRAY_CUSTOM0]
		var vertices: PackedVector3Array = arrays[Mesh.ARRAY_VERTEX]
		if not check_eq(records.size(), cells.values().reduce(func(n, c): return n + c.size(), 0) * 4, part[0] + ": one record per exported vertex"):
			continue
		var differ := 0
		for i in vertices.size():
			var record := Color(records[4 * i], records[4 * i + 1], records[4 * i + 2], records[4 * i + 3])
			if not matches_a_live_vertex(cells, live, vertices[i], record):
				differ += 1
		check_eq(differ, 0, part[0] + ": records that differ from the node's colours")
	var body := imported.find_child("collision") as StaticBody3D
	if check(body != null, "a static body"):
		check_same_capsules(body.get_children(), node, "imported .glb")
