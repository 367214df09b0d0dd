# Bakes every Wendrel3D of the scene open in the editor into a mesh resource beside the
# scene, so that a game can show the trees without the extension: open this script in the
# script editor and choose File > Run (Ctrl+Shift+X). Each tree becomes
# <scene>_<node>.mesh.res, holding its bark and twig surfaces with their materials; show one
# with a MeshInstance3D whose mesh is that file.
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
		var path := "%s_%s.mesh.res" % [base, String(node.name).validate_filename()]
		var error := ResourceSaver.save(node.bake_mesh(), path)
		if error != OK:
			push_error("Bake trees: could not write %s (%s)." % [path, error_string(error)])
		else:
			print("Baked %s into %s" % [node.name, path])
	EditorInterface.get_resource_filesystem().scan()
