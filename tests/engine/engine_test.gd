# Base of the engine test suites: every method whose name starts with test_ is a test. A
# test fails on a failed check or on an engine error it did not declare with take_errors().
extends RefCounted

var tree: SceneTree
var errors: Logger
var failures: Array[String] = []


func check(condition: bool, what: String) -> bool:
	if not condition:
		failures.append(what)
	return condition


func check_eq(actual: Variant, expected: Variant, what: String) -> bool:
	return check(actual == expected, "%s: got %s, expected %s" % [what, str(actual), str(expected)])


# The errors reported since the test began (or since the last call), as the test's own.
func take_errors() -> Array[String]:
	return errors.take()


# A Wendrel3D inside the scene tree; the runner frees it after the test.
func add_tree_node() -> Node3D:
	var node: Node3D = ClassDB.instantiate("Wendrel3D")
	tree.root.add_child(node)
	return node


func bark(node: Node) -> MeshInstance3D:
	return node.get_child(0, true)


func twigs(node: Node) -> MeshInstance3D:
	return node.get_child(1, true) if node.get_child_count(true) > 1 else null


func arrays_of(instance: MeshInstance3D) -> Array:
	return instance.mesh.surface_get_arrays(0)


# The surface arrays of both children: what the engine draws.
func shown(node: Node) -> Array:
	var twig := twigs(node)
	return [arrays_of(bark(node)), arrays_of(twig) if twig else []]
