// The records of the data for games, which the game data pass (game_data.cpp) derives from
// the skeleton when a TreeModel asks for them: a wind record for every bark and twig vertex,
// and capsule segments for collision.
//
// Both are opt-in (TreeModel::with_wind, TreeModel::with_collision) and never change the eight
// mesh arrays. They are deterministic, like the mesh: equal parameters give equal records.
#pragma once

#include "model/geometry.h"

#include <cstdint>
#include <vector>

namespace wendrel {

// How one vertex moves in the wind.
struct WindRecord {
	// Distance along the branches from the trunk's foot to the vertex's place on the
	// skeleton, divided by the largest such distance of any tip: 0 at the foot, 1 at the
	// farthest tip.
	float chain;
	// Per branch, in [0, 1): a different timing for every branch, fixed by the seed.
	float phase;
	// Twig cards only: 0 at the end where the card meets its branch, 1 at its outer end.
	// Always 0 on the bark.
	float flutter;
	// Forks between the vertex's branch and the trunk: 0 on the trunk, 1 on a branch that
	// leaves it, and so on.
	int32_t level;
};

// The levels that a four-channel encoding tells apart: deeper ones read as the last.
constexpr int32_t WIND_LEVELS = 15;

// A wind record as four values in [0, 1], the encoding the node's vertex colours and the
// tool's glTF files use: chain, level / 15 (at most 1), phase, flutter.
inline void encode_wind(const WindRecord &record, float channels[4]) {
	int32_t level = record.level < 0 ? 0 : (record.level > WIND_LEVELS ? WIND_LEVELS : record.level);
	channels[0] = record.chain;
	channels[1] = float(level) / float(WIND_LEVELS);
	channels[2] = record.phase;
	channels[3] = record.flutter;
}

// One branch as a capsule axis: from its parent's head (the origin for the root) to its own
// head, with the radius the branch starts with and its level (as in WindRecord).
struct CollisionSegment {
	Vec3 start;
	Vec3 end;
	float radius;
	int32_t level;
};

// A capsule as physics engines take one: centred between a segment's ends, its axis the unit
// vector from start to end, its height the whole length, both rounded caps included.
struct CollisionCapsule {
	Vec3 centre;
	Vec3 axis;
	float radius;
	float height;
};

// Branches thinner than this get no capsule unless asked for: the node's default.
constexpr float COLLISION_MIN_RADIUS = 0.05f;

// The capsules of a tree: the trunk's always, a branch's when it is thicker than min_radius.
// A segment without a finite length or a positive radius has none. The node and the tool
// both take their shapes from here, so an exported tree collides where the node does.
std::vector<CollisionCapsule> collision_capsules(const std::vector<CollisionSegment> &segments, float min_radius);

} // namespace wendrel
