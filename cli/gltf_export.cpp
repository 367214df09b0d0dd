#include "export.h"

#include "parameters.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
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
			values[parameter.property] = tinygltf::Value(static_cast<int>(value));
		} else {
			values[parameter.property] = tinygltf::Value(std::strtod(format_value(parameter, value).c_str(), nullptr));
		}
	}
	values["twig_enable"] = tinygltf::Value(recipe.twig_enable);
	tinygltf::Value::Object extras;
	extras["wendrel_version"] = tinygltf::Value(std::string(WENDREL_VERSION));
	extras["parameters"] = tinygltf::Value(values);
	return tinygltf::Value(extras);
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
		// An application-specific attribute: its name starts with an underscore.
		primitive.attributes["_WIND"] = add_accessor(gltf, mesh.wind, TINYGLTF_TYPE_VEC4, TINYGLTF_COMPONENT_TYPE_FLOAT, ARRAY_BUFFER);
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

} // namespace

std::string write_gltf(const Mesh &bark, const Mesh &twigs, const Textures &textures, const TextureNames &names, const Recipe &recipe, bool binary) {
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
