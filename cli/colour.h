// The colours of the preview.
#pragma once

namespace wendrel {

// A linear-light colour, for the preview.
struct Colour {
	float r, g, b;
};

} // namespace wendrel
