// The bounds are generous: far above anything the inspector offers (its largest trees stay
// below 10^6 units), far below where the passes overflow. A position bound of 10^8 keeps
// the cross product of two triangle edges, and its squared length, inside the float range.
#include "model/bounds.h"

#include <cfloat>
#include <cmath>

namespace wendrel {

namespace {

// Each term of the position bound (trunk, branch lengths, radii, twig size) stays below this,
// so that their sum stays below 10^8.
constexpr double EXTENT_LIMIT = 1e7;
// Factors that only turn directions or scale the texture: large values make the unnormalised
// sums of the direction formulas overflow.
constexpr double SHAPE_LIMIT = 1e12;
// One rounding of a float product or quotient, as a relative factor.
constexpr double ROUNDING = 1.0 / 8388608.0; // 2^-23

using T = TreeProperties;

// Factors that only turn directions or scale the texture.
float T::*const SHAPE_FIELDS[] = { &T::branch_clump_max, &T::branch_clump_min, &T::branch_factor, &T::twist,
	&T::sweep_amount, &T::drop_amount, &T::grow_amount, &T::uv_multiplier };

Fault fault(float T::*field, const char *reason) {
	Fault f;
	f.property = &property_of(field);
	f.reason = reason;
	return f;
}

// NaN fails every comparison, so the limits are written as "not within".
bool within(double value, double limit) {
	return std::fabs(value) <= limit;
}

Fault check_values(const TreeProperties &p) {
	for (const PropertyRow &row : property_table())
		if (row.type == PropertyType::REAL && !std::isfinite(p.*row.float_field))
			return fault(row.float_field, "is not a finite number");
	for (float T::*field : SHAPE_FIELDS)
		if (!within(p.*field, SHAPE_LIMIT))
			return fault(field, "is too large: the directions it shapes would overflow");
	// A negative length raised to a fractional power has no value.
	if (p.branch_length < 0.0f)
		return fault(&T::branch_length, "cannot be negative");
	if (p.branch_length_falloff < 0.0f)
		return fault(&T::branch_length_falloff, "cannot be negative: the branch lengths would turn negative");
	// The trunk's fork rings are its radius divided by the taper.
	if (!(p.trunk_taper > 0.0f))
		return fault(&T::trunk_taper, "must be positive: the trunk's fork rings divide by it");
	// The foot ring is the trunk's radius divided by the falloff rate.
	if (p.radius_falloff_rate == 0.0f)
		return fault(&T::radius_falloff_rate, "cannot be 0: the foot ring's radius divides by it");
	return Fault();
}

// Lowest and highest branch length of one generation, as the float arithmetic can give them.
struct LengthRange {
	double lo;
	double hi;
};

// Widens a range by one float rounding each way; a low end below the normal floats may
// round to 0.
LengthRange rounded(LengthRange r, double roundings) {
	double down = std::pow(1.0 - ROUNDING, roundings);
	double up = std::pow(1.0 + ROUNDING, roundings);
	double lo = r.lo * down < FLT_MIN ? 0.0 : r.lo * down;
	return LengthRange{ lo, r.hi * up };
}

// The lengths of the children of a generation: parent ^ exponent × falloff, rounded to float.
LengthRange child_lengths(const TreeProperties &p, LengthRange parent) {
	double e = p.branch_length_exponent;
	double f = p.branch_length_falloff;
	double a = std::pow(parent.lo, e) * f;
	double b = std::pow(parent.hi, e) * f;
	// An overflowing power times a falloff of 0 has no value: count it as unbounded.
	if (std::isnan(a) || std::isnan(b))
		return LengthRange{ 0.0, INFINITY };
	return rounded(LengthRange{ std::fmin(a, b), std::fmax(a, b) }, 1.0);
}

float T::*length_culprit(const TreeProperties &p) {
	if (p.branch_length_exponent > 1.0f || p.branch_length_exponent < 0.0f)
		return &T::branch_length_exponent;
	if (p.branch_length_falloff > 1.0f)
		return &T::branch_length_falloff;
	return &T::branch_length;
}

struct LengthBounds {
	double longest = 0.0; // any single branch
	double path = 0.0;	  // all branch lengths along one path from the trunk to a tip
};

Fault bound_lengths(const TreeProperties &p, int64_t generations, int64_t steps, LengthBounds &out) {
	// Trunk step k has branch_length × taper^k, one rounding per step.
	double taper_end = std::pow(double(p.trunk_taper), double(steps));
	double bl = p.branch_length;
	LengthRange trunk = rounded(LengthRange{ bl * std::fmin(1.0, taper_end), bl * std::fmax(1.0, taper_end) }, double(steps));
	if (!(trunk.hi <= EXTENT_LIMIT))
		return fault(p.trunk_taper > 1.0f ? &T::trunk_taper : &T::branch_length, "makes the branches too long");
	out.longest = trunk.hi;
	out.path = trunk.hi;
	LengthRange range = trunk;
	for (int64_t g = 0; g < generations; g++) {
		range = child_lengths(p, range);
		out.longest = std::fmax(out.longest, range.hi);
		out.path += range.hi;
		if (!(out.path <= EXTENT_LIMIT))
			return fault(length_culprit(p), "makes the branches too long");
	}
	return Fault();
}

// A bound on how far a twig card reaches from its leaf's head: its half width across plus its
// length (twice the half width times the aspect, at least the square's), times the size jitter
// that a tip's further cards get. At the defaults it is 3 twig_scale, the square card's bound.
double twig_reach(const TreeProperties &p) {
	double long_side = 2.0 * std::fmax(std::fabs(double(p.twig_aspect)), 1.0);
	double jitter = p.twig_cards_per_tip > 1 ? 1.25 : 1.0;
	return (1.0 + long_side) * std::fabs(double(p.twig_scale)) * jitter;
}

Fault bound_trunk(const TreeProperties &p, int64_t steps) {
	if (!within(p.trunk_length, EXTENT_LIMIT))
		return fault(&T::trunk_length, "is too large");
	if (!within(double(steps) * p.climb_rate, EXTENT_LIMIT))
		return fault(&T::climb_rate, "makes the trunk too tall");
	if (!within(double(steps) * 2.0 * p.trunk_kink, EXTENT_LIMIT))
		return fault(&T::trunk_kink, "makes the trunk too crooked");
	if (!within(twig_reach(p), EXTENT_LIMIT))
		return fault(std::fabs(p.twig_aspect) > 1.0f ? &T::twig_aspect : &T::twig_scale, "makes the twig cards too large");
	return Fault();
}

// A branch's radius is its parent's times the falloff rate (the taper on the trunk), and
// never more than its length while it is positive. Fork rings divide it by the taper or
// multiply it by the rate; the foot ring divides it by the rate.
Fault bound_radii(const TreeProperties &p, int64_t generations, int64_t steps, const LengthBounds &lengths) {
	double max_radius = std::fabs(double(p.max_radius));
	double rate = std::fabs(double(p.radius_falloff_rate));
	double taper = p.trunk_taper;
	if (!(max_radius <= EXTENT_LIMIT))
		return fault(&T::max_radius, "is too large");
	double growth = std::pow(std::fmax(rate, 1.0), double(generations)) * std::pow(std::fmax(taper, 1.0), double(steps));
	double radius = max_radius * growth;
	if (p.max_radius >= 0.0f && p.radius_falloff_rate > 0.0f)
		radius = std::fmin(radius, lengths.longest);
	radius = rounded(LengthRange{ radius, radius }, double(generations + steps + 1)).hi;
	if (!(max_radius / rate <= EXTENT_LIMIT))
		return fault(&T::radius_falloff_rate, "is too close to 0: the foot ring's radius would overflow");
	// The passes form 1 / taper in float first: it must not overflow on its own.
	if (!(1.0 / taper <= FLT_MAX) || !(radius / taper <= EXTENT_LIMIT))
		return fault(&T::trunk_taper, "is too close to 0: the trunk's fork rings would overflow");
	if (!(radius * std::fmax(rate, 1.0) <= EXTENT_LIMIT))
		return fault(rate > 1.0 ? &T::radius_falloff_rate : &T::max_radius, "makes the branch radii overflow");
	return Fault();
}

} // namespace

Fault find_unrepresentable(const TreeProperties &p, int64_t generations, int64_t steps) {
	Fault f = check_values(p);
	if (f.property)
		return f;
	LengthBounds lengths;
	f = bound_lengths(p, generations, steps, lengths);
	if (f.property)
		return f;
	f = bound_trunk(p, steps);
	if (f.property)
		return f;
	return bound_radii(p, generations, steps, lengths);
}

} // namespace wendrel
