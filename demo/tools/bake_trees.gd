# Bakes every Wendrel3D of the scene open in the editor into a scene file beside it, so that
# a game can place the trees without the extension: open this script in the script editor
# and choose File > Run (Ctrl+Shift+X). Each tree becomes <scene>_<node>.scn: a Node3D holding
# a MeshInstance3D with the bark and twig surfaces and their materials (with the wind colours
# when wind_data is on, and the levels of detail when lod_enable is on) and, when
# collision_enable is on, a StaticBody3D with one CollisionShape3D per capsule. Instance the
# file like any scene, or hand it to a scatter tool as one of its items.
@tool
extends EditorScript


func _run() -> void:
	var scene := get_scene()
	if scene == null or scene.scene_file_path.is_empty():
		push_error("Bake trees: open a saved scene first.")
		return
	var trees := scene.find_children("*", "Wendrel3D", true, false)
	if scene.is_class("Wendrel3D"):
		trees.append(scene)
	var base := scene.scene_file_path.get_basename()
	for node in trees:
		var path := "%s_%s.scn" % [base, String(node.name).validate_filename()]
		var baked: PackedScene = node.bake_scene()
		var error := ERR_CANT_CREATE if baked == null else ResourceSaver.save(baked, path)
		if error != OK:
			push_error("Bake trees: could not write %s (%s)." % [path, error_string(error)])
		else:
			print("Baked %s into %s" % [node.name, path])
	EditorInterface.get_resource_filesystem().scan()
