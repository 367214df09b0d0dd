#include "app.h"

#include "budget.h"
#include "destinations.h"
#include "export.h"
#include "formats.h"
#include "model/presets.h"
#include "output_file.h"
#include "parameters.h"
#include "recipe.h"
#include "seeds.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <new>
#include <ostream>
#include <stdexcept>

namespace wendrel {

namespace {

// What the command line asked for, before the preset and the values are combined.
struct Options {
	std::vector<std::string> values;  // one per parameter, in table order
	std::vector<CLI::Option *> given; // whether each value was on the command line
	std::string preset = "default";
	std::vector<std::string> outputs;
	std::string size = "800x400";
	std::string from;
	int texture_size = 256;
	bool no_twigs = false;
	int threads = 1;
	bool wind = false;
	// Game data and variants (see add_game_options()).
	bool collision = false;
	float collision_min_radius = COLLISION_MIN_RADIUS;
	std::string seeds;
	bool stats = false;
	bool list_presets = false;
	int64_t budget_mib = DEFAULT_BUDGET_MIB;
};

std::string range_text(const Parameter &parameter) {
	char text[64];
	std::snprintf(text, sizeof text, "%g to %g", parameter.min, parameter.max);
	return text;
}

std::string describe(const Parameter &parameter) {
	const TreeProperties defaults;
	return std::string(parameter.description) + " (default " + format_value(parameter, parameter.get(defaults)) + "; " + (parameter.on_node ? "range " : "suggested range ") + range_text(parameter) + ")";
}

void add_parameter_options(CLI::App &app, Options &options) {
	options.values.resize(parameters().size());
	for (size_t i = 0; i < parameters().size(); ++i) {
		const Parameter &parameter = parameters()[i];
		bool integer = parameter.type == ParameterType::INTEGER;
		CLI::Validator number([&parameter](std::string &text) {
			double value = 0.0;
			return parse_value(parameter, text, value);
		},
				"");
		options.given.push_back(app.add_option(option_name(parameter), options.values[i], describe(parameter))
										->type_name(integer ? "INT" : "FLOAT")
										->check(number)
										->group("Tree parameters"));
	}
}

// Collision shapes and variants, for trees used as game assets.
void add_game_options(CLI::App &app, Options &options) {
	app.add_flag("--collision", options.collision, "add the node's collision capsules to a glTF file, as OMI_physics_shape capsules under an OMI_physics_body static body, which Godot imports as a StaticBody3D with a CollisionShape3D each");
	app.add_option("--collision-min-radius", options.collision_min_radius, "with --collision, branches this thin or thinner get no capsule; the trunk always has them (default 0.05, as the node's collision_min_radius)")
			->type_name("M")
			->check(CLI::Range(0.0f, 1e6f));
	app.add_option("--seeds", options.seeds, "grow one tree per seed from A to B and write each: every output path must hold {seed}, which becomes the tree's seed")
			->type_name("A-B")
			->check(CLI::Validator([](std::string &text) {
				SeedRange range;
				return parse_seed_range(text, range);
			},
					""));
}

void add_other_options(CLI::App &app, Options &options) {
	std::vector<std::string> names;
	for (const Preset &preset : presets()) {
		names.push_back(preset.name);
	}
	CLI::Option *preset = app.add_option("--preset", options.preset, "start from a named parameter set (default: default), then apply the parameters given")
								  ->check(CLI::IsMember(names));
	app.add_option("--from", options.from, "start from the parameters stored in a .json, .glb or .gltf that wendrel wrote, then apply the parameters given")
			->type_name("FILE")
			->excludes(preset);
	app.add_flag("--no-twigs", options.no_twigs, "leave the twig cards out, as the node's twig_enable off does");
	app.add_flag("--wind", options.wind, "add the wind records to every vertex of a glTF file: chain, level / 15, phase, flutter, as the attribute _WIND and as the texture coordinate sets 2 and 3, which Godot imports as CUSTOM0 (see the README)");
	app.add_option("--texture-size", options.texture_size, "sides of the bark and leaf textures in pixels, a power of two from 16 to 2048 (default 256)")
			->type_name("PX")
			->check(CLI::Validator([](std::string &text) {
				int size = 0;
				return parse_count(text, size) && valid_texture_size(size) && std::to_string(size) == text ? "" : "'" + text + "' is not a power of two from 16 to 2048";
			},
					""));
	app.add_option("-o,--output", options.outputs, "write the tree to PATH, in the format of its extension: .glb, .gltf and .obj (with textures, and a .mtl, beside them), .json (the raw arrays), .png (a preview), .tscn (a Godot scene of the parameters), .tres (a Godot preset resource of the parameters); may be repeated")
			->type_name("PATH");
	app.add_option("--size", options.size, "PNG size in pixels, WIDTHxHEIGHT (default 800x400)")->type_name("WxH")->check(CLI::Validator([](std::string &text) {
		PngSize size;
		return parse_png_size(text, size);
	},
			""));
	app.add_option("--threads", options.threads, "grow large trees on N threads (default 1); the tree is the same for any N")
			->type_name("N")
			->check(CLI::Range(1, 256));
	app.add_option("--budget", options.budget_mib, "refuse, before growing it, a tree estimated to take more than MIB mebibytes of memory, or a preview estimated to cost more to draw (default " + std::to_string(DEFAULT_BUDGET_MIB) + ", more than the largest tree of the inspector ranges takes)")
			->type_name("MIB")
			->check(CLI::Range(INT64_C(1), INT64_C(1) << 24));
	app.add_flag("--stats", options.stats, "print the numbers of branches, vertices and triangles and the generation time");
	app.add_flag("--list-presets", options.list_presets, "print the preset names, one per line, and exit");
	app.set_version_flag("--version", "wendrel " WENDREL_VERSION);
}

// The bark needs an even number of sides, at least 2: the generator builds any other count
// as the next such number, and keeps the value as it was given.
void note_segments(int32_t segments, std::ostream &err) {
	if (segments < 2 || segments % 2 != 0) {
		int64_t built = segments < 2 ? 2 : static_cast<int64_t>(segments) + 1;
		err << "wendrel: note: --trunk-segments " << segments << " builds the bark with " << built << " sides: it needs an even number, at least 2\n";
	}
}

// The preset or the file, then every parameter given on the command line. Values outside the inspector's
// range are allowed, as the node allows them from scripts, but get a warning.
Recipe resolve(const Options &options, std::ostream &err) {
	Recipe recipe = options.from.empty() ? Recipe{ find_preset(options.preset)->properties, true } : read_recipe(options.from, err);
	recipe.twig_enable = recipe.twig_enable && !options.no_twigs;
	TreeProperties &properties = recipe.properties;
	for (size_t i = 0; i < parameters().size(); ++i) {
		if (options.given[i]->count() == 0) {
			continue;
		}
		const Parameter &parameter = parameters()[i];
		double value = 0.0;
		parse_value(parameter, options.values[i], value);
		parameter.set(properties, value);
		if (!parameter.in_range(value)) {
			err << "wendrel: warning: " << option_name(parameter) << " " << options.values[i] << " lies outside the range " << range_text(parameter) << "\n";
		}
	}
	note_segments(properties.segments, err);
	return recipe;
}

// Vertex counts as the model holds them, then as the mesh files hold them (without the
// vertices no triangle uses).
void print_stats(std::ostream &out, const TreeSize &size, const TreeModel &model, double milliseconds) {
	char time[32];
	std::snprintf(time, sizeof time, "%.3f ms", milliseconds);
	out << "branches        " << size.branches << "\n"
		<< "leaves          " << size.leaves << "\n"
		<< "bark vertices   " << model.vertex_count << " (" << used_vertex_count(bark_surface(model)) << " used by triangles, as exported)\n"
		<< "bark triangles  " << model.face_count << "\n"
		<< "twig vertices   " << model.twig_vertex_count << "\n"
		<< "twig triangles  " << model.twig_face_count << "\n"
		<< "generation time " << time << "\n";
}

// Returns the usage error of the output paths, empty when each names a known format.
std::string check_outputs(const Options &options) {
	for (const std::string &path : options.outputs) {
		if (format_of(path) == Format::UNKNOWN) {
			return "cannot tell the format of '" + path + "': use .glb, .gltf, .obj, .json, .png, .tscn or .tres";
		}
	}
	if (options.outputs.empty() && !options.stats) {
		return "nothing to do: give -o PATH or --stats";
	}
	return "";
}

bool any_needs_mesh(const Options &options) {
	for (const std::string &path : options.outputs) {
		if (needs_mesh(format_of(path))) {
			return true;
		}
	}
	return options.stats;
}

// Adds a file to the set, once: check_destinations() has made sure that two paths naming
// one file would write it with the same bytes.
void add_file(std::vector<std::pair<std::string, std::string>> &files, std::vector<std::string> &identities, std::pair<std::string, std::string> file) {
	std::string identity = destination_identity(file.first);
	for (const std::string &earlier : identities) {
		if (earlier == identity) {
			return;
		}
	}
	identities.push_back(identity);
	files.push_back(std::move(file));
}

// A scene or a preset holds the node's properties only; returns why it cannot hold these, or "".
std::string scene_problem(const Options &options, const Recipe &recipe) {
	for (const std::string &path : options.outputs) {
		if (format_of(path) == Format::SCENE || format_of(path) == Format::PRESET) {
			try {
				write_scene(recipe.properties, "Tree");
			} catch (const std::invalid_argument &e) {
				return e.what();
			}
		}
	}
	return "";
}

// "--trunk-taper 0 must be positive: ..." for a refusal that names a parameter.
std::string describe_fault(const TreeSize &size, const TreeProperties &properties) {
	const PropertyRow &row = *size.fault;
	return option_name(row) + " " + format_value(row, row.get(properties)) + " " + size.reason;
}

// A value refused on its own, with every other parameter at its default, is a usage error
// that names that option, whichever field the bounds trip over; one refused only together
// with the others is a tree that cannot be built.
std::string refused_value(const Options &options, const TreeProperties &properties) {
	for (size_t i = 0; i < parameters().size(); ++i) {
		if (options.given[i]->count() == 0) {
			continue;
		}
		const Parameter &parameter = parameters()[i];
		TreeProperties alone;
		parameter.set(alone, parameter.get(properties));
		TreeSize size = measure_tree(alone);
		if (size.fault == nullptr) {
			continue;
		}
		if (size.fault == &parameter) {
			return describe_fault(size, alone);
		}
		return option_name(parameter) + " " + options.values[i] + " is refused on its own (every other parameter at its default): with it, " + describe_fault(size, alone);
	}
	return "";
}

// Grows the tree, writes every output at once, and prints the statistics. The textures are
// drawn into r_textures the first time an output needs them, and kept for the next tree.
int grow_and_write(const Options &options, const Recipe &recipe, std::ostream &out, Textures &r_textures) {
	const TreeProperties &properties = recipe.properties;
	TreeSize size = measure_tree(properties);
	if (size.fault) {
		throw std::runtime_error("cannot build the tree: " + describe_fault(size, properties));
	}
	if (!size.fits) {
		throw std::runtime_error("the tree is too large to build (" + std::to_string(size.branches) + " branches, " + std::to_string(size.max_vertex_count) + " bark vertices): lower --trunk-branches-count, --trunk-height or --trunk-segments");
	}
	ExportSettings settings;
	parse_png_size(options.size, settings.png);
	bool writes_glb = false, writes_png = false;
	for (const std::string &path : options.outputs) {
		writes_glb = writes_glb || format_of(path) == Format::GLB;
		writes_png = writes_png || format_of(path) == Format::PNG;
	}
	std::string over_budget = any_needs_mesh(options) ? budget_problem(size, options.wind, writes_glb, options.budget_mib) : "";
	if (over_budget.empty() && writes_png) {
		over_budget = preview_problem(size, settings.png.width, settings.png.height, options.budget_mib);
	}
	if (!over_budget.empty()) {
		throw std::runtime_error(over_budget);
	}
	TreeModel model;
	model.set_properties(properties);
	model.thread_count = options.threads;
	model.with_wind = options.wind;
	model.with_collision = options.collision;
	auto start = std::chrono::steady_clock::now();
	if (any_needs_mesh(options)) {
		model.generate();
	}
	std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
	settings.texture_size = options.texture_size;
	settings.twig_enable = recipe.twig_enable;
	settings.wind = options.wind;
	settings.collision = options.collision;
	settings.collision_min_radius = options.collision_min_radius;
	// The textures are the same for every output and every tree, and take a while to draw.
	for (const std::string &path : options.outputs) {
		if (needs_textures(format_of(path)) && r_textures.bark_png.empty()) {
			r_textures = make_textures(settings.texture_size, model.twig_leaf_variants > 1);
		}
	}
	std::vector<std::pair<std::string, std::string>> files;
	std::vector<std::string> identities;
	for (const std::string &path : options.outputs) {
		for (auto &file : encode(path, format_of(path), model, settings, r_textures)) {
			add_file(files, identities, std::move(file));
		}
	}
	write_files(files);
	if (options.stats) {
		print_stats(out, size, model, elapsed.count());
	}
	return EXIT_OK;
}

// Each seed's tree is grown once and written to the output paths with its seed in them. A
// failure names its seed; the trees of the seeds before it stay written.
int grow_each_seed(const Options &options, const Recipe &recipe, std::ostream &out) {
	SeedRange range;
	parse_seed_range(options.seeds, range);
	Textures textures;
	for (int64_t seed = range.first; seed <= range.last; ++seed) {
		Options variant = options;
		for (std::string &path : variant.outputs) {
			path = with_seed(path, int32_t(seed));
		}
		Recipe grown = recipe;
		grown.properties.seed = int32_t(seed);
		if (options.stats) {
			out << "seed            " << seed << "\n";
		}
		try {
			grow_and_write(variant, grown, out, textures);
		} catch (const std::runtime_error &e) {
			throw std::runtime_error("seed " + std::to_string(seed) + ": " + e.what());
		}
	}
	return EXIT_OK;
}

// --seeds needs {seed} in every output path, or the trees would overwrite one another, and
// replaces the --seed of one tree.
std::string seeds_problem(const Options &options) {
	if (options.seeds.empty()) {
		return "";
	}
	const Parameter *seed = find_parameter("seed");
	for (size_t i = 0; i < parameters().size(); ++i) {
		if (&parameters()[i] == seed && options.given[i]->count() > 0) {
			return "give either --seed or --seeds, not both";
		}
	}
	for (const std::string &path : options.outputs) {
		if (path.find(SEED_MARKER) == std::string::npos) {
			return "with --seeds, every output path must hold {seed}, as in -o tree_{seed}.glb; '" + path + "' does not";
		}
	}
	return "";
}

int usage_error(std::ostream &err, std::string message) {
	// The option parser's messages start with a capital; the tool's own do not.
	if (message.size() > 1 && std::isupper(static_cast<unsigned char>(message[0])) && !std::isupper(static_cast<unsigned char>(message[1]))) {
		message[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(message[0])));
	}
	err << "wendrel: error: " << message << "\nRun 'wendrel --help' to see the options.\n";
	return EXIT_USAGE;
}

// A path given without -o is taken for a file to write: say how to write it.
std::string extras_message(const CLI::ExtrasError &e, const std::vector<std::string> &extras) {
	std::string message = e.what();
	for (const std::string &arg : extras) {
		if (!arg.empty() && arg[0] != '-' && format_of(arg) != Format::UNKNOWN) {
			return message + "; to write '" + arg + "', give -o " + arg;
		}
	}
	return message;
}

} // namespace

int run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
	CLI::App app("Grows a procedural tree and writes it as glTF, OBJ, JSON, a PNG preview, a Godot scene or a preset.", "wendrel");
	Options options;
	add_parameter_options(app, options);
	add_other_options(app, options);
	add_game_options(app, options);
	std::vector<const char *> argv = { "wendrel" };
	for (const std::string &arg : args) {
		argv.push_back(arg.c_str());
	}
	try {
		app.parse(static_cast<int>(argv.size()), argv.data());
	} catch (const CLI::CallForHelp &) {
		out << app.help();
		return EXIT_OK;
	} catch (const CLI::CallForVersion &e) {
		out << e.what() << "\n";
		return EXIT_OK;
	} catch (const CLI::ExtrasError &e) {
		return usage_error(err, extras_message(e, app.remaining()));
	} catch (const CLI::ParseError &e) {
		return usage_error(err, e.what());
	}
	if (options.list_presets) {
		for (const Preset &preset : presets()) {
			out << preset.name << "\n";
		}
		return EXIT_OK;
	}
	std::string problem = check_outputs(options);
	if (problem.empty()) {
		problem = seeds_problem(options);
	}
	if (problem.empty()) {
		problem = check_destinations(options.outputs);
	}
	if (!problem.empty()) {
		return usage_error(err, problem);
	}
	try {
		Recipe recipe = resolve(options, err);
		problem = scene_problem(options, recipe);
		if (problem.empty()) {
			problem = refused_value(options, recipe.properties);
		}
		if (!problem.empty()) {
			return usage_error(err, problem);
		}
		Textures textures;
		return options.seeds.empty() ? grow_and_write(options, recipe, out, textures) : grow_each_seed(options, recipe, out);
	} catch (const std::bad_alloc &) {
		err << "wendrel: error: out of memory while growing the tree\n";
	} catch (const std::exception &e) {
		err << "wendrel: error: " << e.what() << "\n";
	}
	return EXIT_FAILED;
}

} // namespace wendrel
