# Leaf coverage of a mask render (leaves green, bark red, background black): the share of the
# crown's silhouette that leaf pixels cover. The silhouette is filled row by row: in every row
# that holds a leaf pixel, everything from the leftmost to the rightmost pixel of the tree
# counts, gaps between the leaves included.
#     godot --headless -s res://render/coverage.gd -- mask.png [mask.png ...]
extends SceneTree


static func is_leaf(p_colour: Color) -> bool:
	return p_colour.g > 0.5 and p_colour.r < 0.5


static func is_tree(p_colour: Color) -> bool:
	return p_colour.g > 0.5 or p_colour.r > 0.5


# [leaf pixels, filled silhouette pixels, coverage].
static func measure(p_image: Image) -> Array:
	var leaves := 0
	var filled := 0
	for y in p_image.get_height():
		var first := -1
		var last := -1
		var row_leaves := 0
		for x in p_image.get_width():
			var colour := p_image.get_pixel(x, y)
			if is_tree(colour):
				if first < 0:
					first = x
				last = x
			if is_leaf(colour):
				row_leaves += 1
		if row_leaves > 0:
			leaves += row_leaves
			filled += last - first + 1
	return [leaves, filled, float(leaves) / float(filled) if filled > 0 else 0.0]


func _initialize() -> void:
	for path in OS.get_cmdline_user_args():
		var image := Image.load_from_file(path)
		if image == null:
			printerr("cannot read ", path)
			continue
		var m := measure(image)
		print("%s: %d leaf pixels over %d silhouette pixels: coverage %.3f" % [path.get_file(), m[0], m[1], m[2]])
	quit()
