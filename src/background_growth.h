// One tree grown away from the main thread, on the engine's worker threads: the generator's
// run and both surfaces turned into meshes. The node starts it, looks whether it is done
// once a frame, and takes its model and meshes; a growth no longer wanted is cancelled.
#pragma once

#include "model/tree_model.h"
#include "surface_arrays.h"

#include <godot_cpp/classes/array_mesh.hpp>
#include <godot_cpp/classes/ref.hpp>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace wendrel::engine {

class BackgroundGrowth {
public:
	// Starts growing the tree of p_properties; p_wind adds the wind records to both meshes'
	// vertex colours, p_collision keeps the collision segments in the model, p_lods gives both
	// meshes the engine's levels of detail; p_orders are the node's remembered index orders.
	BackgroundGrowth(const TreeProperties &p_properties, bool p_wind, bool p_collision, bool p_lods,
			std::shared_ptr<SurfaceOrders> p_orders);
	// Cancels the growth if it still runs, and waits until the worker has left it.
	~BackgroundGrowth();
	BackgroundGrowth(const BackgroundGrowth &) = delete;
	BackgroundGrowth &operator=(const BackgroundGrowth &) = delete;

	// Asks the worker to stop at the generator's next step; the result is then thrown away.
	void cancel() { cancelled.store(true, std::memory_order_relaxed); }
	bool is_cancelled() const { return cancelled.load(std::memory_order_relaxed); }
	// Whether the worker has finished (grown, failed or cancelled).
	bool is_done() const { return finished.load(std::memory_order_acquire); }

	// After is_done(), on the thread that started the growth: the grown model, or null when
	// the growth failed (error() says why) or was cancelled.
	std::unique_ptr<TreeModel> take_model();
	godot::Ref<godot::ArrayMesh> bark_mesh() const { return bark; }
	godot::Ref<godot::ArrayMesh> twig_mesh() const { return twigs; }
	const std::string &error() const { return failure; }

private:
	static void run(void *p_self);
	void grow();
	void wait();

	std::unique_ptr<TreeModel> model;
	godot::Ref<godot::ArrayMesh> bark;
	godot::Ref<godot::ArrayMesh> twigs;
	std::string failure;
	std::atomic<bool> cancelled{ false };
	std::atomic<bool> finished{ false };
	bool lods = false;
	std::shared_ptr<SurfaceOrders> orders;
	int64_t task_id = -1;
	bool waited = false;
};

} // namespace wendrel::engine
