#include "background_growth.h"

#include "surface_arrays.h"

#include <godot_cpp/classes/worker_thread_pool.hpp>

#include <new>
#include <utility>

namespace wendrel::engine {

BackgroundGrowth::BackgroundGrowth(const TreeProperties &p_properties, bool p_wind, bool p_collision, bool p_lods,
		std::shared_ptr<SurfaceOrders> p_orders) :
		model(new TreeModel()), lods(p_lods), orders(std::move(p_orders)) {
	model->set_properties(p_properties);
	model->with_wind = p_wind;
	model->with_collision = p_collision;
	model->cancel = &cancelled;
	task_id = godot::WorkerThreadPool::get_singleton()->add_native_task(&BackgroundGrowth::run, this, false,
			"Wendrel3D: growing a tree");
}

BackgroundGrowth::~BackgroundGrowth() {
	cancel();
	wait();
}

void BackgroundGrowth::run(void *p_self) {
	static_cast<BackgroundGrowth *>(p_self)->grow();
}

// Runs on a worker thread; touches nothing but this object and the index orders, which lock.
void BackgroundGrowth::grow() {
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
	try {
		model->generate();
	} catch (const std::bad_alloc &) {
		model->reset();
		failure = "out of memory";
	}
#else
	model->generate();
#endif
	if (failure.empty() && !is_cancelled()) {
		const bool wind = model->with_wind;
		bark = surface_mesh(bark_surface(*model), wind ? model->wind.data() : nullptr, lods, orders->bark);
		twigs = surface_mesh(twig_surface(*model), wind ? model->twig_wind.data() : nullptr, lods, orders->twigs);
	}
	finished.store(true, std::memory_order_release);
}

// The pool keeps every task until someone waits for it, also a finished one.
void BackgroundGrowth::wait() {
	if (!waited) {
		godot::WorkerThreadPool::get_singleton()->wait_for_task_completion(task_id);
		waited = true;
	}
}

std::unique_ptr<TreeModel> BackgroundGrowth::take_model() {
	wait();
	if (!failure.empty() || is_cancelled()) {
		return nullptr;
	}
	model->cancel = nullptr;
	return std::move(model);
}

} // namespace wendrel::engine
