// Each format read back and compared with what the model holds.
#include "cli_test_support.h"

#include "export.h"
#include "mesh_checks.h"
#include "parameters.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <tiny_gltf.h>

#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <set>
#include <sstream>

namespace wendrel::test {
namespace {

class Formats : public ::testing::Test {
protected:
	static void SetUpTestSuite() {
		model = new TreeModel();
		model->generate();
		bark = new Mesh(export_mesh(bark_surface(*model)));
		twigs = new Mesh(export_mesh(twig_surface(*model)));
	}
	static void TearDownTestSuite() {
		delete twigs;
		delete bark;
		delete model;
	}
	static TreeModel *model;
	static Mesh *bark;
	static Mesh *twigs;
};
TreeModel *Formats::model = nullptr;
Mesh *Formats::bark = nullptr;
Mesh *Formats::twigs = nullptr;

// The accessor's elements, copied out of its buffer view (our files are tightly packed).
template <typename T>
std::vector<T> read_accessor(const tinygltf::Model &gltf, int index) {
	const tinygltf::Accessor &accessor = gltf.accessors[index];
	const tinygltf::BufferView &view = gltf.bufferViews[accessor.bufferView];
	const unsigned char *data = gltf.buffers[view.buffer].data.data() + view.byteOffset + accessor.byteOffset;
	std::vector<T> elements(accessor.count);
	std::memcpy(elements.data(), data, accessor.count * sizeof(T));
	return elements;
}

Mesh read_primitive(const tinygltf::Model &gltf, const tinygltf::Primitive &p) {
	Mesh mesh;
	mesh.positions = read_accessor<Vec3>(gltf, p.attributes.at("POSITION"));
	mesh.normals = read_accessor<Vec3>(gltf, p.attributes.at("NORMAL"));
	mesh.uvs = read_accessor<Vec2>(gltf, p.attributes.at("TEXCOORD_0"));
	mesh.indices = read_accessor<uint32_t>(gltf, p.indices);
	return mesh;
}

void expect_same(const Mesh &read, const Mesh &written) {
	ASSERT_EQ(read.positions.size(), written.positions.size());
	ASSERT_EQ(read.indices, written.indices);
	for (size_t i = 0; i < written.positions.size(); ++i) {
		ASSERT_TRUE(same_bits(read.positions[i].x, written.positions[i].x) && same_bits(read.positions[i].y, written.positions[i].y) && same_bits(read.positions[i].z, written.positions[i].z)) << i;
		ASSERT_TRUE(same_bits(read.normals[i].x, written.normals[i].x) && same_bits(read.normals[i].y, written.normals[i].y) && same_bits(read.normals[i].z, written.normals[i].z)) << i;
		ASSERT_TRUE(same_bits(read.uvs[i].u, written.uvs[i].u) && same_bits(read.uvs[i].v, written.uvs[i].v)) << i;
	}
}

TEST_F(Formats, GltfReadsBackAsWritten) {
	for (bool binary : { true, false }) {
		std::string bytes = write_gltf(*bark, *twigs, make_textures(16, false), TextureNames{ "t_bark.png", "t_leaf.png" }, Recipe{ *model, true }, binary);
		tinygltf::TinyGLTF loader;
		tinygltf::Model gltf;
		std::string error, warning;
		bool loaded = binary ? loader.LoadBinaryFromMemory(&gltf, &error, &warning, reinterpret_cast<const unsigned char *>(bytes.data()), static_cast<unsigned>(bytes.size())) : loader.LoadASCIIFromString(&gltf, &error, &warning, bytes.data(), static_cast<unsigned>(bytes.size()), "");
		// The .gltf's textures lie beside it, where this in-memory load does not look.
		ASSERT_TRUE(loaded || !binary) << error;
		EXPECT_TRUE(binary || gltf.images[0].uri == "t_bark.png");
		ASSERT_EQ(gltf.meshes.size(), 2u);
		EXPECT_EQ(gltf.meshes[0].name, "bark");
		EXPECT_EQ(gltf.meshes[1].name, "twigs");
		expect_same(read_primitive(gltf, gltf.meshes[0].primitives[0]), *bark);
		expect_same(read_primitive(gltf, gltf.meshes[1].primitives[0]), *twigs);
		EXPECT_EQ(gltf.materials[gltf.meshes[0].primitives[0].material].name, "bark");
		const tinygltf::Material &twig = gltf.materials[gltf.meshes[1].primitives[0].material];
		EXPECT_EQ(twig.name, "twig");
		EXPECT_EQ(twig.alphaMode, "MASK");
		EXPECT_EQ(gltf.images[gltf.textures[twig.pbrMetallicRoughness.baseColorTexture.index].source].name, "t_leaf.png");
		// Trap: three.js renames one of a scene and a node that share a name.
		EXPECT_NE(gltf.scenes[0].name, gltf.nodes[gltf.scenes[0].nodes[0]].name);
		// Trap: a node transform would move the tree off its foot or tip it over.
		for (const tinygltf::Node &node : gltf.nodes) {
			EXPECT_TRUE(node.matrix.empty() && node.rotation.empty() && node.translation.empty() && node.scale.empty());
		}
		EXPECT_EQ(gltf.scenes.size(), 1u);
	}
}

// --wind adds _WIND to both glTF meshes, one record per exported vertex and aligned with it
// (the foot ring, alone on y = 0, alone at chain 0; a card's outer end, v = 0, flutters),
// and the same values as texture coordinate sets 2 and 3 after a set 1 of zeros (no buffer
// view), where Godot's importer reads them; without it, no file carries any of them.
TEST(Wind, GltfCarriesOneRecordPerVertexOnlyWhenAsked) {
	ScratchDir dir;
	ASSERT_EQ(run_tool({ "--wind", "-o", dir.path("wind.glb") }).exit_code, 0);
	ASSERT_EQ(run_tool({ "-o", dir.path("none.glb") }).exit_code, 0);
	tinygltf::TinyGLTF loader;
	tinygltf::Model gltf;
	std::string error, warning;
	ASSERT_TRUE(loader.LoadBinaryFromFile(&gltf, &error, &warning, dir.path("wind.glb"))) << error;
	ASSERT_EQ(gltf.meshes.size(), 2u);
	for (size_t m = 0; m < 2; ++m) {
		const tinygltf::Primitive &p = gltf.meshes[m].primitives[0];
		Mesh mesh = read_primitive(gltf, p);
		ASSERT_EQ(p.attributes.count("_WIND"), 1u);
		auto wind = read_accessor<std::array<float, 4>>(gltf, p.attributes.at("_WIND"));
		ASSERT_EQ(wind.size(), mesh.positions.size());
		const tinygltf::Accessor &zeros = gltf.accessors[p.attributes.at("TEXCOORD_1")];
		EXPECT_TRUE(zeros.bufferView < 0 && zeros.count == wind.size() && zeros.type == TINYGLTF_TYPE_VEC2);
		auto chain_level = read_accessor<Vec2>(gltf, p.attributes.at("TEXCOORD_2"));
		auto phase_flutter = read_accessor<Vec2>(gltf, p.attributes.at("TEXCOORD_3"));
		ASSERT_EQ(chain_level.size(), wind.size());
		ASSERT_EQ(phase_flutter.size(), wind.size());
		for (size_t i = 0; i < wind.size(); ++i) {
			ASSERT_TRUE(chain_level[i].u == wind[i][0] && chain_level[i].v == wind[i][1] && phase_flutter[i].u == wind[i][2] && phase_flutter[i].v == wind[i][3]) << i;
			for (float channel : wind[i]) {
				ASSERT_TRUE(channel >= 0.0f && channel <= 1.0f) << i;
			}
			if (m == 0) {
				ASSERT_EQ(mesh.positions[i].y == 0.0f, wind[i][0] == 0.0f) << i;
			} else {
				ASSERT_EQ(wind[i][3], mesh.uvs[i].v == 0.0f ? 1.0f : 0.0f) << i;
			}
		}
	}
	EXPECT_EQ(read_file(dir.path("none.glb")).find("_WIND"), std::string::npos);
	EXPECT_EQ(read_file(dir.path("none.glb")).find("TEXCOORD_1"), std::string::npos);
}

// The capsule of each collider node, as its OMI_physics_shape shape and its place: the
// centre, and the axis that the node's rotation turns +y onto.
CollisionCapsule capsule_of(const tinygltf::Model &gltf, const tinygltf::Node &node) {
	const tinygltf::Value &shapes = gltf.extensions.at("OMI_physics_shape").Get("shapes");
	const tinygltf::Value &shape = shapes.Get(node.extensions.at("OMI_physics_body").Get("collider").Get("shape").GetNumberAsInt());
	EXPECT_EQ(shape.Get("type").Get<std::string>(), "capsule");
	const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2], w = node.rotation[3];
	// The second column of the quaternion's rotation matrix.
	Vec3 axis(float(2 * (x * y - z * w)), float(1 - 2 * (x * x + z * z)), float(2 * (y * z + x * w)));
	Vec3 centre(float(node.translation[0]), float(node.translation[1]), float(node.translation[2]));
	return { centre, axis, float(shape.Get("capsule").Get("radius").GetNumberAsDouble()), float(shape.Get("capsule").Get("height").GetNumberAsDouble()) };
}

// --collision writes the node's capsules (the same choice by radius, with the same default
// minimum) as collider nodes under one static body, in a form Godot imports as collision shapes;
// a tree without them carries no physics extension at all.
TEST(Collision, GltfCarriesTheNodesCapsules) {
	ScratchDir dir;
	ASSERT_EQ(run_tool({ "--collision", "-o", dir.path("c.glb") }).exit_code, 0);
	ASSERT_EQ(run_tool({ "--collision", "--collision-min-radius", "0", "--trunk-height", "2", "-o", dir.path("all.glb") }).exit_code, 0);
	ASSERT_EQ(run_tool({ "-o", dir.path("none.glb") }).exit_code, 0);
	TreeModel model;
	model.with_collision = true;
	model.generate();
	for (const auto &file : { std::make_pair("c.glb", COLLISION_MIN_RADIUS), std::make_pair("all.glb", 0.0f) }) {
		tinygltf::TinyGLTF loader;
		tinygltf::Model gltf;
		std::string error, warning;
		ASSERT_TRUE(loader.LoadBinaryFromFile(&gltf, &error, &warning, dir.path(file.first))) << error;
		if (file.second == 0.0f) {
			model.trunk_height = 2;
			model.generate();
		}
		const std::vector<CollisionCapsule> expected = collision_capsules(model.collision_segments, file.second);
		EXPECT_EQ(gltf.extensionsUsed, (std::vector<std::string>{ "OMI_physics_body", "OMI_physics_shape" }));
		const tinygltf::Node &tree = gltf.nodes[gltf.scenes[0].nodes[0]];
		const tinygltf::Node &body = gltf.nodes[tree.children.back()];
		EXPECT_EQ(body.extensions.at("OMI_physics_body").Get("motion").Get("type").Get<std::string>(), "static");
		ASSERT_EQ(body.children.size(), expected.size()) << file.first;
		for (size_t i = 0; i < expected.size(); ++i) {
			const CollisionCapsule read = capsule_of(gltf, gltf.nodes[body.children[i]]);
			ASSERT_EQ(read.radius, expected[i].radius) << i;
			ASSERT_EQ(read.height, expected[i].height) << i;
			ASSERT_LT(length(read.centre - expected[i].centre), 1e-6f) << i;
			ASSERT_LT(length(read.axis - expected[i].axis), 1e-5f) << i;
		}
	}
	EXPECT_EQ(model.collision_segments.size(), 255u); // trunk_height 2, every branch a capsule
	EXPECT_EQ(read_file(dir.path("none.glb")).find("OMI_"), std::string::npos);
}

// Every face kept, and every vertex some face uses, in the model's order; the unused ones
// (159 of the default bark's) left out.
TEST_F(Formats, ExportKeepsEveryUsedVertexInOrder) {
	for (const Surface &surface : { bark_surface(*model), twig_surface(*model) }) {
		Mesh mesh = export_mesh(surface);
		std::vector<int32_t> kept; // model index of each exported vertex
		std::vector<bool> used(surface.vertex_count, false);
		for (int32_t f = 0; f < surface.face_count; ++f) {
			for (int32_t corner : surface.faces[f].index) {
				used[corner] = true;
			}
		}
		for (int32_t v = 0; v < surface.vertex_count; ++v) {
			if (used[v]) {
				kept.push_back(v);
			}
		}
		ASSERT_EQ(mesh.positions.size(), kept.size());
		EXPECT_EQ(static_cast<size_t>(used_vertex_count(surface)), kept.size());
		ASSERT_EQ(mesh.indices.size(), 3u * surface.face_count);
		for (size_t i = 0; i < mesh.indices.size(); ++i) {
			int32_t original = surface.faces[i / 3].index[i % 3];
			ASSERT_EQ(kept[mesh.indices[i]], original) << i;
			ASSERT_TRUE(same_bits(mesh.positions[mesh.indices[i]].x, surface.vertices[original].x) && same_bits(mesh.uvs[mesh.indices[i]].v, surface.uvs[original].v)) << i;
		}
	}
	EXPECT_EQ(bark->positions.size(), 2183u - 159u);
}

// A minimal OBJ reader for what write_obj writes.
struct Obj {
	std::vector<Vec3> v, vn;
	std::vector<Vec2> vt;
	std::vector<std::vector<uint32_t>> faces; // per object: v indices, 0-based
	std::vector<std::string> objects, materials;
	std::string mtllib;
};

Obj parse_obj(const std::string &text) {
	Obj obj;
	std::istringstream lines(text);
	std::string line;
	while (std::getline(lines, line)) {
		std::istringstream in(line);
		std::string tag;
		in >> tag;
		if (tag == "v" || tag == "vn") {
			std::string x, y, z;
			in >> x >> y >> z;
			(tag == "v" ? obj.v : obj.vn).emplace_back(std::strtof(x.c_str(), nullptr), std::strtof(y.c_str(), nullptr), std::strtof(z.c_str(), nullptr));
		} else if (tag == "vt") {
			std::string u, v;
			in >> u >> v;
			obj.vt.emplace_back(std::strtof(u.c_str(), nullptr), std::strtof(v.c_str(), nullptr));
		} else if (tag == "o") {
			obj.objects.emplace_back();
			in >> obj.objects.back();
			obj.faces.emplace_back();
		} else if (tag == "usemtl") {
			obj.materials.emplace_back();
			in >> obj.materials.back();
		} else if (tag == "mtllib") {
			in >> obj.mtllib;
		} else if (tag == "f") {
			for (std::string corner; in >> corner;) {
				unsigned a = 0, b = 0, c = 0;
				sscanf(corner.c_str(), "%u/%u/%u", &a, &b, &c);
				EXPECT_TRUE(a == b && b == c) << corner;
				obj.faces.back().push_back(a - 1);
			}
		}
	}
	return obj;
}

TEST_F(Formats, ObjReadsBackAsWritten) {
	Obj obj = parse_obj(write_obj(*bark, *twigs, "tree.mtl"));
	EXPECT_EQ(obj.mtllib, "tree.mtl");
	EXPECT_EQ(obj.objects, (std::vector<std::string>{ "bark", "twigs" }));
	EXPECT_EQ(obj.materials, (std::vector<std::string>{ "bark", "twig" }));
	std::string mtl = write_mtl(TextureNames{ "tree_bark.png", "tree_leaf.png" });
	EXPECT_NE(mtl.find("newmtl bark\nKd 1 1 1\nKa 0 0 0\nKs 0 0 0\nd 1\nillum 1\nmap_Kd tree_bark.png\n"), std::string::npos);
	EXPECT_NE(mtl.find("newmtl twig\nKd 1 1 1\nKa 0 0 0\nKs 0 0 0\nd 1\nillum 1\nmap_Kd tree_leaf.png\nmap_d tree_leaf.png\n"), std::string::npos);
	size_t base = 0;
	for (size_t object = 0; object < 2; ++object) {
		const Mesh &mesh = object == 0 ? *bark : *twigs;
		for (size_t i = 0; i < mesh.positions.size(); ++i) {
			ASSERT_TRUE(same_bits(obj.v[base + i].x, mesh.positions[i].x) && same_bits(obj.v[base + i].y, mesh.positions[i].y) && same_bits(obj.v[base + i].z, mesh.positions[i].z));
			ASSERT_TRUE(same_bits(obj.vn[base + i].x, mesh.normals[i].x) && same_bits(obj.vn[base + i].z, mesh.normals[i].z));
			// Trap: OBJ counts v from the bottom of the texture, glTF and the engine from the top.
			ASSERT_TRUE(same_bits(obj.vt[base + i].u, mesh.uvs[i].u) && same_bits(obj.vt[base + i].v, 1.0f - mesh.uvs[i].v));
		}
		// Trap: the second object's indices must count the first object's vertices.
		ASSERT_EQ(obj.faces[object].size(), mesh.indices.size());
		for (size_t i = 0; i < mesh.indices.size(); ++i) {
			ASSERT_EQ(obj.faces[object][i], base + mesh.indices[i]);
		}
		base += mesh.positions.size();
	}
	EXPECT_EQ(obj.v.size(), base);
}

template <typename Element, typename Get>
void expect_json_array(const nlohmann::json &array, const Element *data, int32_t count, int width, Get get) {
	ASSERT_EQ(array.size(), static_cast<size_t>(count));
	for (int32_t i = 0; i < count; ++i) {
		for (int k = 0; k < width; ++k) {
			float read = static_cast<float>(array[i][k].get<double>());
			ASSERT_TRUE(array[i][k].is_number_float());
			ASSERT_TRUE(same_bits(read, get(data[i], k))) << i << "," << k;
		}
	}
}

float vec3_at(const Vec3 &v, int k) {
	return k == 0 ? v.x : (k == 1 ? v.y : v.z);
}

float vec2_at(const Vec2 &v, int k) {
	return k == 0 ? v.u : v.v;
}

void expect_json_surface(const nlohmann::json &j, const std::string &prefix, const Surface &s) {
	expect_json_array(j[prefix + "vertices"], s.vertices, s.vertex_count, 3, vec3_at);
	expect_json_array(j[prefix + "normals"], s.normals, s.vertex_count, 3, vec3_at);
	expect_json_array(j[prefix + "uvs"], s.uvs, s.vertex_count, 2, vec2_at);
	ASSERT_EQ(j[prefix + "faces"].size(), static_cast<size_t>(s.face_count));
	for (int32_t i = 0; i < s.face_count; ++i) {
		ASSERT_EQ(j[prefix + "faces"][i], (std::vector<int32_t>{ s.faces[i].index[0], s.faces[i].index[1], s.faces[i].index[2] }));
	}
}

// The raw arrays, unnormalised normals and all, bit for bit.
TEST_F(Formats, JsonHoldsTheRawArraysBitForBit) {
	nlohmann::json j = nlohmann::json::parse(write_json(*model, bark_surface(*model), twig_surface(*model)));
	EXPECT_EQ(j["vertex_count"], model->vertex_count);
	EXPECT_EQ(j["face_count"], model->face_count);
	EXPECT_EQ(j["twig_vertex_count"], model->twig_vertex_count);
	EXPECT_EQ(j["twig_face_count"], model->twig_face_count);
	EXPECT_EQ(j["parameters"]["trunk_twist"], 3.02);
	EXPECT_EQ(j["parameters"]["seed"], 262);
	expect_json_surface(j, "", bark_surface(*model));
	expect_json_surface(j, "twig_", twig_surface(*model));
}

// Trap: "%g"-style printing writes -0 and 3 as integers, which readers take for int 0 and 3.
// The leaf texture cuts the twig out of the card, stem at the bottom middle where the card
// meets its branch; the bark continues across its edges; both come out the same every time.
TEST(Textures, LeafCutsOutAndBarkTiles) {
	const int size = 64;
	Texture leaf = leaf_texture(size, false), bark = bark_texture(size);
	auto alpha = [&](int x, int y) { return leaf.rgba[(static_cast<size_t>(y) * size + x) * 4 + 3]; };
	EXPECT_EQ(alpha(size / 2, size - 1), 255); // the stem
	EXPECT_EQ(alpha(size / 2, 0), 0);		   // above the top leaf
	EXPECT_EQ(alpha(0, 0) + alpha(size - 1, 0) + alpha(0, size - 1) + alpha(size - 1, size - 1), 0);
	// Across the wrap-around edge the bark changes no more than between neighbouring texels.
	auto grey = [&](int x, int y) { return static_cast<int>(bark.rgba[(static_cast<size_t>(y) * size + x) * 4]); };
	double inside = 0, across_u = 0, across_v = 0;
	for (int i = 0; i < size; ++i) {
		inside += std::abs(grey(size / 2, i) - grey(size / 2 - 1, i)) + std::abs(grey(i, size / 2) - grey(i, size / 2 - 1));
		across_u += std::abs(grey(0, i) - grey(size - 1, i));
		across_v += std::abs(grey(i, 0) - grey(i, size - 1));
	}
	EXPECT_LT(across_u, 1.5 * inside / 2);
	EXPECT_LT(across_v, 1.5 * inside / 2);
	EXPECT_EQ(encode_png(leaf, true), encode_png(leaf_texture(size, false), true));
	// The atlas: four different leaves, each cut out like the whole texture, its stem at the
	// bottom middle of its cell where the card meets its branch.
	const int atlas_size = 2 * size; // cells as large as the whole texture above
	Texture atlas = leaf_texture(atlas_size, true);
	auto atlas_alpha = [&](int x, int y) { return atlas.rgba[(static_cast<size_t>(y) * atlas_size + x) * 4 + 3]; };
	const int half = size;
	std::set<std::vector<uint8_t>> cells;
	for (int cell = 0; cell < 4; ++cell) {
		const int x0 = (cell & 1) * half, y0 = (cell >> 1) * half;
		EXPECT_EQ(atlas_alpha(x0 + half / 2, y0 + half - 1), 255) << cell;
		EXPECT_EQ(atlas_alpha(x0, y0) + atlas_alpha(x0 + half - 1, y0) + atlas_alpha(x0, y0 + half - 1), 0) << cell;
		std::vector<uint8_t> coverage;
		for (int y = y0; y < y0 + half; ++y) {
			for (int x = x0; x < x0 + half; ++x) {
				coverage.push_back(atlas_alpha(x, y));
			}
		}
		cells.insert(coverage);
	}
	EXPECT_EQ(cells.size(), 4u);
	EXPECT_EQ(encode_png(bark, false), encode_png(bark_texture(size), false));
}

TEST(Json, AwkwardFloatsSurvive) {
	const Vec3 vertices[] = { { -0.0f, 3.0f, 1e-45f }, { 3.4028235e38f, -1.17549435e-38f, 0.1f } };
	const Vec3 normals[] = { { NAN, INFINITY, -INFINITY }, { 0.0f, 0.0f, 0.0f } };
	const Vec2 uvs[] = { { 0.0f, 1.0f }, { -1.0f / 6.0f, 5.0f / 6.0f } };
	Surface s{ 2, vertices, normals, uvs, 0, nullptr };
	nlohmann::json j = nlohmann::json::parse(write_json(TreeProperties(), s, Surface()));
	expect_json_array(j["vertices"], vertices, 2, 3, vec3_at);
	expect_json_array(j["uvs"], uvs, 2, 2, vec2_at);
	EXPECT_EQ(j["normals"][0], (std::vector<std::string>{ "nan", "inf", "-inf" }));
	EXPECT_EQ(j["faces"].size(), 0u);
	EXPECT_EQ(j["twig_vertices"].size(), 0u);
}

// What the scene and the help print must read back as the same float, through float and
// through double (the engine reads scene numbers as doubles).
TEST(ParameterText, FormatsReadBackExactly) {
	std::mt19937 rng(5);
	std::uniform_real_distribution<float> value(-20.0f, 20.0f);
	const Parameter &real = *find_parameter("trunk_twist");
	const float awkward[] = { 0.454f, -0.0f, 1e-7f, 2.0f, 3.4028235e38f };
	for (int i = 0; i < 2000; ++i) {
		float x = i < 5 ? awkward[i] : value(rng);
		std::string text = format_value(real, x);
		ASSERT_TRUE(same_bits(std::strtof(text.c_str(), nullptr), x)) << text;
		ASSERT_EQ(static_cast<float>(std::strtod(text.c_str(), nullptr)), x) << text;
		ASSERT_NE(text.find_first_of(".e"), std::string::npos) << text;
	}
	EXPECT_EQ(format_value(real, 0.454f), "0.454");
	EXPECT_EQ(format_value(*find_parameter("seed"), 262), "262");
}

TEST(Scene, HoldsEveryNodePropertyAndNothingElse) {
	std::string scene = write_scene(TreeProperties(), "Tree");
	EXPECT_EQ(scene.rfind("[gd_scene format=3]\n\n[node name=\"Tree\" type=\"Wendrel3D\"]\n", 0), 0u) << scene;
	for (const Parameter &p : parameters()) {
		EXPECT_EQ(scene.find(std::string("\n") + p.name + " = ") != std::string::npos, p.on_node) << p.name;
	}
	EXPECT_NE(scene.find("\ntrunk_twist = 3.02\n"), std::string::npos);
	TreeProperties tapered;
	tapered.trunk_taper = 0.9f;
	EXPECT_THROW(write_scene(tapered, "Tree"), std::invalid_argument);
}

} // namespace
} // namespace wendrel::test
