# Times the Wendrel3D node inside the engine: one property change on trees of four sizes (a
# new seed, which joins the forks' triangles differently, and a new trunk length, which keeps
# every triangle), against the engine's own add_surface_from_arrays of the same arrays, and
# the load of a scene of 100 trees that store 20 properties each. Run by
# bench/engine-timing.sh.
extends SceneTree

# Name, trunk_branches_count, changes timed.
const TREES := [
	["default", 5, 40],
	["trunk_branches_count 8", 8, 10],
	["trunk_branches_count 10", 10, 5],
	["trunk_branches_count 13", 13, 3],
]

# 20 stored properties of each tree of the scene.
const STORED := {
	"trunk_segments": 8, "trunk_branches_count": 4, "trunk_height": 3, "trunk_branch_length": 0.6,
	"trunk_branch_length_falloff": 0.9, "trunk_branch_factor": 2.0, "trunk_branch_clump_max": 0.5,
	"trunk_branch_clump_min": 0.3, "trunk_drop_amount": -0.2, "trunk_grow_amount": 0.3,
	"trunk_sweep_amount": 0.1, "trunk_max_radius": 0.2, "trunk_radius_falloff_rate": 0.6,
	"trunk_climb_rate": 0.5, "trunk_kink": 0.2, "trunk_twist": 2.0, "trunk_length": 2.0,
	"trunk_uv_multiplier": 0.5, "twig_scale": 0.5, "seed": 7,
}


func _initialize() -> void:
	_run.call_deferred()


func _run() -> void:
	print("%-26s %9s %10s %10s %10s %18s %16s" % ["tree", "vertices", "seed ms", "setter ms", "length ms",
			"add_surface_from_arrays", "via SurfaceTool"])
	for row in TREES:
		await time_change(row[0], row[1], row[2])
	time_scene_load()
	quit()


# Waits for a tree growing on a worker thread (a library without one returns at once).
func grown(node: Node) -> void:
	if node.has_method("is_growing") and node.is_growing():
		await node.tree_grown


func median(values: Array) -> float:
	values.sort()
	return values[values.size() / 2]


func time_change(name: String, levels: int, repeats: int) -> void:
	var node: Node3D = ClassDB.instantiate("Wendrel3D")
	root.add_child(node)
	node.trunk_branches_count = levels
	await grown(node)
	var changes := []
	var setters := []
	for i in repeats:
		var start := Time.get_ticks_usec()
		node.seed = 263 + i % 2
		setters.append((Time.get_ticks_usec() - start) / 1000.0)
		await grown(node)
		changes.append((Time.get_ticks_usec() - start) / 1000.0)
	var length_changes := []
	for i in repeats:
		var start := Time.get_ticks_usec()
		node.trunk_length = 2.4 + 0.1 * (i % 2)
		await grown(node)
		length_changes.append((Time.get_ticks_usec() - start) / 1000.0)
	var surfaces := [node.get_child(0, true).mesh.surface_get_arrays(0), node.get_child(1, true).mesh.surface_get_arrays(0)]
	var engine_times := []
	var tool_times := []
	for i in mini(repeats, 5):
		var start := Time.get_ticks_usec()
		var mesh := ArrayMesh.new()
		for arrays in surfaces:
			mesh.add_surface_from_arrays(Mesh.PRIMITIVE_TRIANGLES, arrays)
		engine_times.append((Time.get_ticks_usec() - start) / 1000.0)
		start = Time.get_ticks_usec()
		for arrays in surfaces:
			var tool := SurfaceTool.new()
			tool.create_from_arrays(arrays)
			tool.optimize_indices_for_cache()
			tool.commit()
		tool_times.append((Time.get_ticks_usec() - start) / 1000.0)
	var vertices: int = surfaces[0][Mesh.ARRAY_VERTEX].size() + surfaces[1][Mesh.ARRAY_VERTEX].size()
	print("%-26s %9d %10.2f %10.2f %10.2f %18.2f %16.2f" % [name, vertices, median(changes), median(setters),
			median(length_changes), median(engine_times), median(tool_times)])
	node.queue_free()
	await process_frame


func time_scene_load() -> void:
	var holder := Node3D.new()
	for i in 100:
		var node: Node3D = ClassDB.instantiate("Wendrel3D")
		for property in STORED:
			node.set(property, STORED[property])
		holder.add_child(node)
		node.owner = holder
	var scene := PackedScene.new()
	scene.pack(holder)
	holder.free()
	var times := []
	for i in 3:
		var start := Time.get_ticks_usec()
		var loaded := scene.instantiate()
		root.add_child(loaded)
		times.append((Time.get_ticks_usec() - start) / 1000.0)
		loaded.free()
	print("scene of 100 trees x 20 stored properties: instantiate and enter the tree %.1f ms (best of 3)" % times.min())
