// The stand-in's worker pool: tasks kept in order, run on demand, forgotten once waited for.
#include "state.h"

#include <godot_cpp/classes/worker_thread_pool.hpp>

#include <map>

namespace godot {

namespace {

struct Task {
	void (*function)(void *) = nullptr;
	void *userdata = nullptr;
	bool ran = false;
};

std::map<WorkerThreadPool::TaskID, Task> &tasks() {
	static std::map<WorkerThreadPool::TaskID, Task> instance;
	return instance;
}

void run(Task &r_task) {
	if (!r_task.ran) {
		r_task.ran = true;
		r_task.function(r_task.userdata);
	}
}

} // namespace

// Not registered as a live object: the engine's singleton outlives every test.
WorkerThreadPool *WorkerThreadPool::get_singleton() {
	static WorkerThreadPool *instance = [] {
		WorkerThreadPool *pool = new WorkerThreadPool();
		stub::detail::state().live.erase(pool);
		return pool;
	}();
	return instance;
}

WorkerThreadPool::TaskID WorkerThreadPool::add_native_task(void (*p_func)(void *), void *p_userdata, bool, const String &) {
	static TaskID next_id = 0;
	stub::detail::record_call(this, "WorkerThreadPool.add_native_task");
	tasks()[next_id] = Task{ p_func, p_userdata, false };
	return next_id++;
}

int WorkerThreadPool::wait_for_task_completion(TaskID p_task_id) {
	auto found = tasks().find(p_task_id);
	if (found == tasks().end()) {
		stub::detail::record_error("WorkerThreadPool: wait for an unknown task.");
		return 31;
	}
	run(found->second);
	tasks().erase(found);
	return 0;
}

namespace stub {

void run_worker_tasks() {
	for (auto &entry : tasks()) {
		run(entry.second);
	}
}

size_t unwaited_worker_tasks() {
	return tasks().size();
}

} // namespace stub

} // namespace godot
