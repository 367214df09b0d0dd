# Every scene of the demo opens and runs a frame with no engine error, and each tree in it
# shows its meshes.
extends "res://tests/engine_test.gd"


func test_every_demo_scene_opens() -> void:
	var paths := ["res://main.tscn"]
	for file in DirAccess.get_files_at("res://presets"):
		if file.ends_with(".tscn"):
			paths.append("res://presets/" + file)
	check(paths.size() > 1, "the presets were found")
	for path in paths:
		var scene: Node = (load(path) as PackedScene).instantiate()
		tree.root.add_child(scene)
		await tree.process_frame
		var trees := scene.find_children("*", "Wendrel3D", true, false)
		if scene.is_class("Wendrel3D"):
			trees.append(scene)
		check(not trees.is_empty(), path + " holds trees")
		for node in trees:
			check(bark(node).mesh.get_surface_count() == 1, "%s: %s shows its bark" % [path, node.name])
		scene.free()
