#include "raster.h"

#include <algorithm>
#include <cmath>

namespace wendrel {

namespace {

// The surface a view draws into, `samples` times the image's resolution on each axis.
struct Target {
	int width, height;
	std::vector<float> depth; // larger is nearer
	std::vector<Colour> colour;
};

// A texture in linear light, for sampling.
struct Sampler {
	int size = 0;
	std::vector<Colour> colour;
	std::vector<float> alpha;
	bool tint = true;
	bool repeat = true;

	// Nearest texel; the preview is supersampled, which smooths what this leaves jagged.
	size_t texel(float u, float v) const {
		return static_cast<size_t>(index(v)) * size + index(u);
	}
	// Clamped as a float first: converting a value beyond int's range is undefined.
	int index(float t) const {
		if (!std::isfinite(t)) {
			return 0;
		}
		t = repeat ? t - std::floor(t) : t;
		return static_cast<int>(std::min(static_cast<float>(size - 1), std::max(0.0f, t * size)));
	}
};

float srgb_to_linear(uint8_t byte) {
	float s = byte / 255.0f;
	return s <= 0.04045f ? s / 12.92f : std::pow((s + 0.055f) / 1.055f, 2.4f);
}

Sampler make_sampler(const ColouredMesh &m) {
	Sampler sampler;
	if (m.texture == nullptr) {
		return sampler;
	}
	sampler.size = m.texture->size;
	sampler.tint = m.tint;
	sampler.repeat = m.repeat;
	float table[256];
	for (int i = 0; i < 256; ++i) {
		table[i] = srgb_to_linear(static_cast<uint8_t>(i));
	}
	const std::vector<uint8_t> &rgba = m.texture->rgba;
	for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
		sampler.colour.push_back(Colour{ table[rgba[i]], table[rgba[i + 1]], table[rgba[i + 2]] });
		sampler.alpha.push_back(rgba[i + 3] / 255.0f);
	}
	return sampler;
}

struct Camera {
	float cos_yaw, sin_yaw, cos_pitch, sin_pitch;
	float scale, centre_x, centre_y; // screen = (view - centre) * scale + target centre
	float offset_x, offset_y;

	Vec3 to_view(Vec3 p) const {
		float x = p.x * cos_yaw - p.z * sin_yaw;
		float z = p.x * sin_yaw + p.z * cos_yaw;
		return Vec3(x, p.y * cos_pitch - z * sin_pitch, p.y * sin_pitch + z * cos_pitch);
	}
	// Screen coordinates in target pixels, y down; z kept for the depth test.
	Vec3 to_screen(Vec3 p) const {
		Vec3 v = to_view(p);
		return Vec3(offset_x + (v.x - centre_x) * scale, offset_y - (v.y - centre_y) * scale, v.z);
	}
};

Camera make_camera(const View &view) {
	Camera c{};
	c.cos_yaw = std::cos(view.yaw);
	c.sin_yaw = std::sin(view.yaw);
	c.cos_pitch = std::cos(view.pitch);
	c.sin_pitch = std::sin(view.pitch);
	return c;
}

// The view-space bounds of every vertex, as { min x, min y, max x, max y }.
std::vector<float> bounds(const std::vector<ColouredMesh> &meshes, const Camera &camera) {
	std::vector<float> b = { INFINITY, INFINITY, -INFINITY, -INFINITY };
	for (const ColouredMesh &m : meshes) {
		for (const Vec3 &p : m.mesh->positions) {
			Vec3 v = camera.to_view(p);
			b = { std::min(b[0], v.x), std::min(b[1], v.y), std::max(b[2], v.x), std::max(b[3], v.y) };
		}
	}
	return b;
}

float edge(const Vec3 &a, const Vec3 &b, float px, float py) {
	return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

// Light from the upper left, in front of the viewer; shading ignores which side faces it.
Colour shade(Colour base, Vec3 a, Vec3 b, Vec3 c) {
	const Vec3 light = unit_or_zero(Vec3(-0.5f, 0.8f, 0.6f));
	float diffuse = std::fabs(dot(unit_or_zero(cross(b - a, c - a)), light));
	float k = 0.35f + 0.85f * diffuse;
	return Colour{ base.r * k, base.g * k, base.b * k };
}

struct Corner {
	Vec3 screen;
	Vec2 uv;
};

// The colour of one sample, or false when the texture cuts it away.
bool sample_colour(const Sampler &sampler, Colour shaded, float u, float v, Colour &out) {
	if (sampler.size == 0) {
		out = shaded;
		return true;
	}
	size_t texel = sampler.texel(u, v);
	if (sampler.alpha[texel] < LEAF_ALPHA_CUTOFF) {
		return false;
	}
	const Colour &t = sampler.colour[texel];
	out = sampler.tint ? Colour{ shaded.r * t.r, shaded.g * t.g, shaded.b * t.b } : shaded;
	return true;
}

// Narrows [lo, hi] to the columns of the row at `py` on the inner side of the edge from p to
// q (the side where the edge's weight has the sign `sign`). The span is widened by the
// rounding the per-sample test may make, which still decides every sample: the span only
// spares the samples that cannot pass, which for a thin sliver are nearly all of its box.
void clip_to_edge(const Vec3 &p, const Vec3 &q, double sign, double py, double &lo, double &hi) {
	double dy = static_cast<double>(q.y) - p.y;
	double across = (static_cast<double>(q.x) - p.x) * (py - p.y); // the weight is across - dy * (px - p.x)
	if (dy == 0.0) {
		if (sign * across < 0.0) {
			hi = -INFINITY; // the whole row lies outside
		}
		return;
	}
	double x = p.x + across / dy;
	double slack = 1.0 + 1e-6 * (std::fabs(across) + std::fabs(dy) * (std::fabs(lo) + std::fabs(hi))) / std::fabs(dy);
	if (sign * dy > 0.0) {
		hi = std::min(hi, x + slack);
	} else {
		lo = std::max(lo, x - slack);
	}
}

// Every sample centre (x + 0.5, y + 0.5) of `box` ({ x0, y0, x1, y1 }, inclusive) that may
// lie inside the triangle: per row, or for a triangle taller than wide per column, the span
// between its edges. A thin sliver covers few samples but may have a box of millions.
template <typename Visit>
void walk_spans(const Vec3 &a, const Vec3 &b, const Vec3 &c, double sign, const int (&box)[4], Visit visit) {
	bool by_column = box[2] - box[0] < box[3] - box[1];
	// Walking columns is walking the rows of the mirrored triangle, whose winding flips.
	auto mirror = [by_column](const Vec3 &p) { return by_column ? Vec3(p.y, p.x, p.z) : p; };
	const Vec3 ma = mirror(a), mb = mirror(b), mc = mirror(c);
	int along0 = by_column ? box[0] : box[1], along1 = by_column ? box[2] : box[3];
	int across0 = by_column ? box[1] : box[0], across1 = by_column ? box[3] : box[2];
	for (int line = along0; line <= along1; ++line) {
		double lo = across0 + 0.5, hi = across1 + 0.5;
		double centre = line + 0.5f;
		clip_to_edge(mb, mc, by_column ? -sign : sign, centre, lo, hi);
		clip_to_edge(mc, ma, by_column ? -sign : sign, centre, lo, hi);
		clip_to_edge(ma, mb, by_column ? -sign : sign, centre, lo, hi);
		if (!(lo <= hi)) {
			continue;
		}
		int first = static_cast<int>(std::max<double>(across0, std::floor(lo - 0.5)));
		int last = static_cast<int>(std::min<double>(across1, std::ceil(hi - 0.5)));
		for (int other = first; other <= last; ++other) {
			by_column ? visit(line, other) : visit(other, line);
		}
	}
}

void draw_triangle(Target &t, int left, int right, const Corner (&k)[3], Colour shaded, const Sampler &sampler) {
	const Vec3 &a = k[0].screen, &b = k[1].screen, &c = k[2].screen;
	float area = edge(a, b, c.x, c.y);
	if (area == 0.0f || !std::isfinite(area)) {
		return;
	}
	int box[4] = {
		std::max(left, static_cast<int>(std::floor(std::min({ a.x, b.x, c.x })))),
		std::max(0, static_cast<int>(std::floor(std::min({ a.y, b.y, c.y })))),
		std::min(right - 1, static_cast<int>(std::ceil(std::max({ a.x, b.x, c.x })))),
		std::min(t.height - 1, static_cast<int>(std::ceil(std::max({ a.y, b.y, c.y })))),
	};
	walk_spans(a, b, c, area > 0.0f ? 1.0 : -1.0, box, [&](int x, int y) {
		float px = x + 0.5f, py = y + 0.5f;
		float wa = edge(b, c, px, py) / area, wb = edge(c, a, px, py) / area, wc = edge(a, b, px, py) / area;
		if (wa < 0.0f || wb < 0.0f || wc < 0.0f) {
			return;
		}
		float z = wa * a.z + wb * b.z + wc * c.z;
		size_t i = static_cast<size_t>(y) * t.width + x;
		float u = wa * k[0].uv.u + wb * k[1].uv.u + wc * k[2].uv.u;
		float v = wa * k[0].uv.v + wb * k[1].uv.v + wc * k[2].uv.v;
		Colour colour;
		if (z > t.depth[i] && sample_colour(sampler, shaded, u, v, colour)) {
			t.depth[i] = z;
			t.colour[i] = colour;
		}
	});
}

void draw_mesh(Target &t, int left, int right, const Camera &camera, const ColouredMesh &m, const Sampler &sampler) {
	const std::vector<Vec3> &p = m.mesh->positions;
	const std::vector<Vec2> &uv = m.mesh->uvs;
	const std::vector<uint32_t> &index = m.mesh->indices;
	for (size_t i = 0; i + 2 < index.size(); i += 3) {
		Vec3 a = p[index[i]], b = p[index[i + 1]], c = p[index[i + 2]];
		Colour colour = shade(m.colour, camera.to_view(a), camera.to_view(b), camera.to_view(c));
		Corner corners[3];
		for (int k = 0; k < 3; ++k) {
			uint32_t vertex = index[i + k];
			corners[k] = Corner{ camera.to_screen(p[vertex]), vertex < uv.size() ? uv[vertex] : Vec2(0.0f, 0.0f) };
		}
		draw_triangle(t, left, right, corners, colour, sampler);
	}
}

// A pale sky fading towards the bottom.
Colour background(float y) {
	return Colour{ 0.80f - 0.12f * y, 0.85f - 0.10f * y, 0.90f - 0.10f * y };
}

uint8_t to_srgb(float linear) {
	float c = std::min(1.0f, std::max(0.0f, linear));
	float s = c <= 0.0031308f ? 12.92f * c : 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
	return static_cast<uint8_t>(std::lround(s * 255.0f));
}

// Averages each samples x samples block into one pixel.
Image resolve(const Target &t, int samples) {
	Image image;
	image.width = t.width / samples;
	image.height = t.height / samples;
	image.rgb.reserve(static_cast<size_t>(image.width) * image.height * 3);
	float weight = 1.0f / static_cast<float>(samples * samples);
	for (int y = 0; y < image.height; ++y) {
		for (int x = 0; x < image.width; ++x) {
			Colour sum{ 0.0f, 0.0f, 0.0f };
			for (int sy = 0; sy < samples; ++sy) {
				for (int sx = 0; sx < samples; ++sx) {
					const Colour &c = t.colour[static_cast<size_t>(y * samples + sy) * t.width + x * samples + sx];
					sum = Colour{ sum.r + c.r, sum.g + c.g, sum.b + c.b };
				}
			}
			image.rgb.push_back(to_srgb(sum.r * weight));
			image.rgb.push_back(to_srgb(sum.g * weight));
			image.rgb.push_back(to_srgb(sum.b * weight));
		}
	}
	return image;
}

// Fits every view at one scale: the largest that keeps the tree inside each view's box.
void fit(std::vector<Camera> &cameras, const std::vector<View> &views, const std::vector<ColouredMesh> &meshes, int samples, int height) {
	float scale = INFINITY;
	std::vector<std::vector<float>> boxes;
	for (size_t v = 0; v < views.size(); ++v) {
		boxes.push_back(bounds(meshes, cameras[v]));
		float w = std::max(boxes[v][2] - boxes[v][0], 1e-6f), h = std::max(boxes[v][3] - boxes[v][1], 1e-6f);
		scale = std::min({ scale, 0.9f * views[v].width * samples / w, 0.9f * height * samples / h });
	}
	for (size_t v = 0; v < views.size(); ++v) {
		Camera &c = cameras[v];
		c.scale = std::isfinite(scale) ? scale : 1.0f;
		c.centre_x = 0.5f * (boxes[v][0] + boxes[v][2]);
		c.centre_y = 0.5f * (boxes[v][1] + boxes[v][3]);
		c.offset_x = (views[v].left + 0.5f * views[v].width) * samples;
		c.offset_y = 0.5f * height * samples;
	}
}

} // namespace

Image render(const std::vector<ColouredMesh> &meshes, const std::vector<View> &views, int width, int height) {
	const int samples = samples_per_side(width, height);
	Target t;
	t.width = width * samples;
	t.height = height * samples;
	t.depth.assign(static_cast<size_t>(t.width) * t.height, -INFINITY);
	t.colour.resize(t.depth.size());
	for (int y = 0; y < t.height; ++y) {
		std::fill_n(t.colour.begin() + static_cast<size_t>(y) * t.width, t.width, background(static_cast<float>(y) / t.height));
	}
	std::vector<Camera> cameras;
	for (const View &view : views) {
		cameras.push_back(make_camera(view));
	}
	fit(cameras, views, meshes, samples, height);
	std::vector<Sampler> samplers;
	for (const ColouredMesh &m : meshes) {
		samplers.push_back(make_sampler(m));
	}
	for (size_t v = 0; v < views.size(); ++v) {
		for (size_t m = 0; m < meshes.size(); ++m) {
			draw_mesh(t, views[v].left * samples, (views[v].left + views[v].width) * samples, cameras[v], meshes[m], samplers[m]);
		}
	}
	return resolve(t, samples);
}

} // namespace wendrel
