#include "export.h"

#include "parameters.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <sstream>
#include <stdexcept>

namespace wendrel {

namespace {

constexpr int ARRAY_BUFFER = 34962;
constexpr int ELEMENT_ARRAY_BUFFER = 34963;

// Appends raw bytes to the one buffer as a new view; returns the view's index. Each view
// starts on a multiple of 4 bytes, as float and 32-bit index accessors need.
template <typename T>
int add_view(tinygltf::Model &gltf, const std::vector<T> &data, int target) {
	std::vector<unsigned char> &bytes = gltf.buffers[0].data;
	bytes.resize((bytes.size() + 3) / 4 * 4, 0);
	tinygltf::BufferView view;
	view.buffer = 0;
	view.byteOffset = bytes.size();
	view.byteLength = data.size() * sizeof(T);
	view.target = target;
	bytes.resize(bytes.size() + view.byteLength);
	std::memcpy(bytes.data() + view.byteOffset, data.data(), view.byteLength);
	gltf.bufferViews.push_back(view);
	return static_cast<int>(gltf.bufferViews.size() - 1);
}

template <typename T>
int add_accessor(tinygltf::Model &gltf, const std::vector<T> &data, int type, int component_type, int target) {
	tinygltf::Accessor accessor;
	accessor.bufferView = add_view(gltf, data, target);
	accessor.componentType = component_type;
	accessor.type = type;
	accessor.count = data.size();
	gltf.accessors.push_back(accessor);
	return static_cast<int>(gltf.accessors.size() - 1);
}

// Positions need their exact bounds in the file.
int add_positions(tinygltf::Model &gltf, const std::vector<Vec3> &positions) {
	int index = add_accessor(gltf, positions, TINYGLTF_TYPE_VEC3, TINYGLTF_COMPONENT_TYPE_FLOAT, ARRAY_BUFFER);
	Vec3 lo = positions[0], hi = positions[0];
	for (const Vec3 &p : positions) {
		lo = Vec3(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
		hi = Vec3(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
	}
	gltf.accessors[index].minValues = { lo.x, lo.y, lo.z };
	gltf.accessors[index].maxValues = { hi.x, hi.y, hi.z };
	return index;
}

// A file name as a relative URI reference: every byte but the unreserved ones percent-encoded,
// so that '#', '%', '?', spaces and non-ASCII names all lead back to the file.
std::string uri_of(const std::string &name) {
	static const char hex[] = "0123456789ABCDEF";
	std::string uri;
	for (unsigned char c : name) {
		bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
		if (unreserved) {
			uri += static_cast<char>(c);
		} else {
			uri += '%';
			uri += hex[c >> 4];
			uri += hex[c & 15];
		}
	}
	return uri;
}

// A texture with its image: embedded in the buffer, or referred to by file name.
int add_texture(tinygltf::Model &gltf, const std::string &png, const std::string &name, int wrap, bool embed) {
	tinygltf::Image image;
	image.name = name;
	if (embed) {
		image.bufferView = add_view(gltf, std::vector<char>(png.begin(), png.end()), 0);
		image.mimeType = "image/png";
	} else {
		image.uri = uri_of(name);
	}
	gltf.images.push_back(image);
	tinygltf::Sampler sampler;
	sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
	sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
	sampler.wrapS = wrap;
	sampler.wrapT = wrap;
	gltf.samplers.push_back(sampler);
	tinygltf::Texture texture;
	texture.source = static_cast<int>(gltf.images.size() - 1);
	texture.sampler = static_cast<int>(gltf.samplers.size() - 1);
	gltf.textures.push_back(texture);
	return static_cast<int>(gltf.textures.size() - 1);
}

int add_material(tinygltf::Model &gltf, const char *name, int texture, double roughness) {
	tinygltf::Material material;
	material.name = name;
	material.pbrMetallicRoughness.baseColorTexture.index = texture;
	material.pbrMetallicRoughness.metallicFactor = 0.0;
	material.pbrMetallicRoughness.roughnessFactor = roughness;
	gltf.materials.push_back(material);
	return static_cast<int>(gltf.materials.size() - 1);
}

int add_bark_material(tinygltf::Model &gltf, const Textures &textures, const TextureNames &names, bool embed) {
	int texture = add_texture(gltf, textures.bark_png, names.bark, TINYGLTF_TEXTURE_WRAP_REPEAT, embed);
	return add_material(gltf, "bark", texture, 0.9);
}

// The leaf texture's edge must not wrap round to the opposite edge: the stem leaves the
// bottom edge, and the top edge is empty.
int add_twig_material(tinygltf::Model &gltf, const Textures &textures, const TextureNames &names, bool embed) {
	int texture = add_texture(gltf, textures.leaf_png, names.leaf, TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE, embed);
	int index = add_material(gltf, "twig", texture, 0.8);
	gltf.materials[index].alphaMode = "MASK";
	gltf.materials[index].alphaCutoff = LEAF_ALPHA_CUTOFF;
	return index;
}

// The parameters under their property names, each as the number its shortest text reads as
// (0.49 rather than 0.49000000953674316), which converts back to the same float.
tinygltf::Value recipe_extras(const Recipe &recipe) {
	tinygltf::Value::Object values;
	for (const Parameter &parameter : parameters()) {
		double value = parameter.get(recipe.properties);
		if (parameter.type == ParameterType::INTEGER) {
			values[parameter.name] = tinygltf::Value(static_cast<int>(value));
		} else {
			values[parameter.name] = tinygltf::Value(std::strtod(format_value(parameter, value).c_str(), nullptr));
		}
	}
	values["twig_enable"] = tinygltf::Value(recipe.twig_enable);
	tinygltf::Value::Object extras;
	extras["wendrel_version"] = tinygltf::Value(std::string(WENDREL_VERSION));
	extras["parameters"] = tinygltf::Value(values);
	return tinygltf::Value(extras);
}

// An accessor without a buffer view, which readers fill with zeros: a placeholder that
// costs no bytes.
int add_zero_accessor(tinygltf::Model &gltf, size_t count, int type) {
	tinygltf::Accessor accessor;
	accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
	accessor.type = type;
	accessor.count = count;
	gltf.accessors.push_back(accessor);
	return static_cast<int>(gltf.accessors.size() - 1);
}

// The wind records twice. As the application attribute _WIND, for readers that ask for it by
// name; and as the texture coordinate sets 2 (chain, level) and 3 (phase, flutter), which
// Godot's importer turns into the custom array CUSTOM0, all four values as 32-bit floats. Sets
// must be numbered without gaps, so set 1 comes first: zeros, which the importer keeps as
// UV2 and a lightmap unwrap may replace. No viewer tints the tree with these, as it would
// with COLOR_0.
void add_wind(tinygltf::Model &gltf, tinygltf::Primitive &primitive, const std::vector<std::array<float, 4>> &wind) {
	std::vector<Vec2> chain_level(wind.size()), phase_flutter(wind.size());
	for (size_t i = 0; i < wind.size(); ++i) {
		chain_level[i] = Vec2{ wind[i][0], wind[i][1] };
		phase_flutter[i] = Vec2{ wind[i][2], wind[i][3] };
	}
	primitive.attributes["_WIND"] = add_accessor(gltf, wind, TINYGLTF_TYPE_VEC4, TINYGLTF_COMPONENT_TYPE_FLOAT, ARRAY_BUFFER);
	primitive.attributes["TEXCOORD_1"] = add_zero_accessor(gltf, wind.size(), TINYGLTF_TYPE_VEC2);
	primitive.attributes["TEXCOORD_2"] = add_accessor(gltf, chain_level, TINYGLTF_TYPE_VEC2, TINYGLTF_COMPONENT_TYPE_FLOAT, ARRAY_BUFFER);
	primitive.attributes["TEXCOORD_3"] = add_accessor(gltf, phase_flutter, TINYGLTF_TYPE_VEC2, TINYGLTF_COMPONENT_TYPE_FLOAT, ARRAY_BUFFER);
}

// Adds a mesh and the node that shows it; returns the node's index.
int add_mesh_node(tinygltf::Model &gltf, const Mesh &mesh, const char *name, int material) {
	tinygltf::Primitive primitive;
	primitive.mode = TINYGLTF_MODE_TRIANGLES;
	primitive.material = material;
	primitive.attributes["POSITION"] = add_positions(gltf, mesh.positions);
	primitive.attributes["NORMAL"] = add_accessor(gltf, mesh.normals, TINYGLTF_TYPE_VEC3, TINYGLTF_COMPONENT_TYPE_FLOAT, ARRAY_BUFFER);
	primitive.attributes["TEXCOORD_0"] = add_accessor(gltf, mesh.uvs, TINYGLTF_TYPE_VEC2, TINYGLTF_COMPONENT_TYPE_FLOAT, ARRAY_BUFFER);
	if (!mesh.wind.empty()) {
		add_wind(gltf, primitive, mesh.wind);
	}
	primitive.indices = add_accessor(gltf, mesh.indices, TINYGLTF_TYPE_SCALAR, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, ELEMENT_ARRAY_BUFFER);
	tinygltf::Mesh gltf_mesh;
	gltf_mesh.name = name;
	gltf_mesh.primitives.push_back(primitive);
	gltf.meshes.push_back(gltf_mesh);
	tinygltf::Node node;
	node.name = name;
	node.mesh = static_cast<int>(gltf.meshes.size() - 1);
	gltf.nodes.push_back(node);
	return static_cast<int>(gltf.nodes.size() - 1);
}

// The rotation that turns +y onto the unit vector `axis`, as glTF's [x, y, z, w]: the
// shortest arc, or half a turn about x for an axis that points straight down.
std::vector<double> rotation_onto(Vec3 axis) {
	const double w = 1.0 + double(axis.y);
	if (w < 1e-7) {
		return { 1.0, 0.0, 0.0, 0.0 };
	}
	const double x = axis.z, z = -double(axis.x);
	const double norm = std::sqrt(x * x + z * z + w * w);
	return { x / norm, 0.0, z / norm, w / norm };
}

tinygltf::Value object(std::initializer_list<std::pair<const std::string, tinygltf::Value>> members) {
	return tinygltf::Value(tinygltf::Value::Object(members));
}

tinygltf::Value capsule_shape(const CollisionCapsule &capsule) {
	return object({ { "type", tinygltf::Value(std::string("capsule")) },
			{ "capsule", object({ { "radius", tinygltf::Value(double(capsule.radius)) }, { "height", tinygltf::Value(double(capsule.height)) } }) } });
}

// The capsules as OMI_physics_shape shapes, each on a node of its own (placed at the
// capsule's centre, its y axis along the capsule) under one static OMI_physics_body node
// "collision": Godot's importer makes a StaticBody3D of it with a CollisionShape3D per
// capsule. Returns the body node's index.
int add_collision(tinygltf::Model &gltf, const std::vector<CollisionCapsule> &capsules) {
	tinygltf::Value::Array shapes;
	tinygltf::Node body;
	body.name = "collision";
	for (const CollisionCapsule &capsule : capsules) {
		const int shape = static_cast<int>(shapes.size());
		shapes.push_back(capsule_shape(capsule));
		tinygltf::Node node;
		node.name = "capsule" + std::to_string(shape);
		node.translation = { capsule.centre.x, capsule.centre.y, capsule.centre.z };
		node.rotation = rotation_onto(capsule.axis);
		node.extensions["OMI_physics_body"] = object({ { "collider", object({ { "shape", tinygltf::Value(shape) } }) } });
		gltf.nodes.push_back(node);
		body.children.push_back(static_cast<int>(gltf.nodes.size() - 1));
	}
	body.extensions["OMI_physics_body"] = object({ { "motion", object({ { "type", tinygltf::Value(std::string("static")) } }) } });
	gltf.nodes.push_back(body);
	gltf.extensions["OMI_physics_shape"] = object({ { "shapes", tinygltf::Value(shapes) } });
	gltf.extensionsUsed = { "OMI_physics_body", "OMI_physics_shape" };
	return static_cast<int>(gltf.nodes.size() - 1);
}

} // namespace

std::string write_gltf(const Mesh &bark, const Mesh &twigs, const Textures &textures, const TextureNames &names, const Recipe &recipe, bool binary,
		const std::vector<CollisionCapsule> *capsules) {
	tinygltf::Model gltf;
	gltf.asset.version = "2.0";
	gltf.asset.generator = "wendrel " WENDREL_VERSION;
	gltf.buffers.emplace_back();
	tinygltf::Node tree;
	tree.name = "tree";
	tree.extras = recipe_extras(recipe);
	if (!bark.empty()) {
		tree.children.push_back(add_mesh_node(gltf, bark, "bark", add_bark_material(gltf, textures, names, binary)));
	}
	if (!twigs.empty()) {
		tree.children.push_back(add_mesh_node(gltf, twigs, "twigs", add_twig_material(gltf, textures, names, binary)));
	}
	if (capsules) {
		tree.children.push_back(add_collision(gltf, *capsules));
	}
	if (gltf.buffers[0].data.empty()) {
		gltf.buffers.clear(); // a buffer must not be empty
	}
	gltf.nodes.push_back(tree);
	tinygltf::Scene scene;
	scene.name = "wendrel";
	scene.nodes.push_back(static_cast<int>(gltf.nodes.size() - 1));
	gltf.scenes.push_back(scene);
	gltf.defaultScene = 0;

	std::ostringstream stream;
	tinygltf::TinyGLTF writer;
	// Images are already PNG files, in the buffer or beside the file: nothing to encode.
	writer.SetImageWriter(nullptr, nullptr);
	if (!writer.WriteGltfSceneToStream(&gltf, stream, !binary, binary)) {
		throw std::runtime_error("the glTF library could not encode the tree");
	}
	std::string bytes = stream.str();
	// A .glb states its lengths in 32 bits: a larger one would be written with them wrapped.
	if (binary && bytes.size() > UINT32_MAX) {
		throw std::runtime_error("the tree does not fit in a .glb, which holds at most 4 GiB: write a .gltf, or grow a smaller tree");
	}
	return bytes;
}

} // namespace wendrel
