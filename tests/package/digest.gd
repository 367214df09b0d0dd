extends Node
## Grows the default tree, prints a digest of its arrays and quits: the main scene of the
## scratch project that tests the released add-on, in the editor's build and as an exported game.
##
## The digest is SHA-256 over, for the bark and then the twigs: the positions and the texture
## coordinates as stored (32-bit floats), and the triangles, each turned to start at its
## smallest index and packed into one integer, sorted (the node hands the engine its
## triangles in an order of its own). tree_digest.py beside this file computes it from the tool's JSON.


func _ready() -> void:
	var tree: Node3D = ClassDB.instantiate("Wendrel3D")
	if tree == null:
		printerr("WENDREL3D the class Wendrel3D is not registered")
		get_tree().quit(1)
		return
	add_child(tree)
	var context := HashingContext.new()
	context.start(HashingContext.HASH_SHA256)
	for index in 2:
		var arrays := (tree.get_child(index, true) as MeshInstance3D).mesh.surface_get_arrays(0)
		context.update(PackedVector3Array(arrays[Mesh.ARRAY_VERTEX]).to_byte_array())
		context.update(PackedVector2Array(arrays[Mesh.ARRAY_TEX_UV]).to_byte_array())
		context.update(sorted_triangles(arrays[Mesh.ARRAY_INDEX]).to_byte_array())
	print("WENDREL3D DIGEST ", context.finish().hex_encode())
	get_tree().quit()


func sorted_triangles(indices: PackedInt32Array) -> PackedInt64Array:
	var triangles := PackedInt64Array()
	for i in range(0, indices.size(), 3):
		var a := indices[i]
		var b := indices[i + 1]
		var c := indices[i + 2]
		if b < a and b < c:
			triangles.append(pack(b, c, a))
		elif c < a and c < b:
			triangles.append(pack(c, a, b))
		else:
			triangles.append(pack(a, b, c))
	triangles.sort()
	return triangles


func pack(a: int, b: int, c: int) -> int:
	return (a << 42) | (b << 21) | c
