#include "export.h"

#include "raster.h"

#include <stb_image_write.h>

namespace wendrel {

namespace {

void append_bytes(void *context, void *data, int size) {
	static_cast<std::string *>(context)->append(static_cast<const char *>(data), static_cast<size_t>(size));
}

} // namespace

std::string write_png(const Mesh &bark, const Mesh &twigs, int width, int height) {
	const float pi = 3.14159265f;
	int half = width / 2;
	// Front: looking along -z. Three-quarter: turned by 45 degrees and seen from a little above.
	std::vector<View> views = { { 0.0f, 0.0f, 0, half }, { pi / 4.0f, pi / 12.0f, half, width - half } };
	Image image = render({ { &bark, BARK_COLOUR }, { &twigs, TWIG_COLOUR } }, views, width, height);
	std::string png;
	stbi_write_png_to_func(append_bytes, &png, image.width, image.height, 3, image.rgb.data(), image.width * 3);
	return png;
}

} // namespace wendrel
