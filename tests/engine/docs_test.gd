# The class reference that the library carries for the editor's help and the inspector's
# tooltips (doc_classes/Wendrel3D.xml, copied to res://tests/) against the class as the
# engine registers it: one member with a description for every property, under the
# property's own setter, getter and default.
extends "res://tests/engine_test.gd"


# The reference's text parts and its members, by name: {setter, getter, type, default, text}.
func read_reference() -> Dictionary:
	var parser := XMLParser.new()
	check_eq(parser.open("res://tests/Wendrel3D.xml"), OK, "open the class reference")
	var reference := {"members": {}}
	var element := ""
	var member := {}
	while parser.read() == OK:
		match parser.get_node_type():
			XMLParser.NODE_ELEMENT:
				element = parser.get_node_name()
				if element == "class":
					reference.inherits = parser.get_named_attribute_value_safe("inherits")
				elif element == "member":
					member = {"text": ""}
					for attribute in ["setter", "getter", "type", "default"]:
						member[attribute] = parser.get_named_attribute_value_safe(attribute)
					reference.members[parser.get_named_attribute_value("name")] = member
			XMLParser.NODE_TEXT:
				var text := parser.get_node_data().strip_edges()
				if element == "member":
					member.text += text
				elif element in ["brief_description", "description"]:
					reference[element] = reference.get(element, "") + text
	return reference


func test_the_class_reference_describes_every_property() -> void:
	var reference := read_reference()
	check_eq(reference.get("inherits"), "Node3D", "inherits")
	check(not reference.get("brief_description", "").is_empty(), "a brief description")
	check(not reference.get("description", "").is_empty(), "a description")
	var members: Dictionary = reference.members
	var node := add_tree_node()
	var names := []
	for info in ClassDB.class_get_property_list("Wendrel3D", true):
		if info.usage & PROPERTY_USAGE_GROUP:
			continue
		var name: String = info.name
		names.append(name)
		if not check(members.has(name), name + " has no entry in the class reference"):
			continue
		var member: Dictionary = members[name]
		check(not member.text.is_empty(), name + " has no description")
		check_eq(member.setter, ClassDB.class_get_property_setter("Wendrel3D", name), name + " setter")
		check_eq(member.getter, ClassDB.class_get_property_getter("Wendrel3D", name), name + " getter")
		var value: Variant = node.get(name)
		if info.hint == PROPERTY_HINT_TOOL_BUTTON:
			check_eq(member.type, "Callable", name + " type")
		elif value == null:
			check_eq(member.default, "", name + " default")
		else:
			check_eq(member.type, type_string(typeof(value)), name + " type")
			var documented: Variant = str_to_var(member.default)
			check(is_equal_approx(documented, value) if value is float else documented == value,
					"%s default: documented %s, registered %s" % [name, member.default, value])
	names.sort()
	var documented := members.keys()
	documented.sort()
	check_eq(documented, names, "documented properties")
