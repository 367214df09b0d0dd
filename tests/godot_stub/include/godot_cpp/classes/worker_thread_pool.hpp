// Stand-in: the engine's worker pool, without threads. A task runs when a test calls
// stub::run_worker_tasks() or when someone waits for it, so a test decides what is still
// growing when the node looks.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cstdint>

namespace godot {

class WorkerThreadPool : public Object {
	STUB_ENGINE_CLASS(WorkerThreadPool, Object)

public:
	typedef int64_t TaskID;

	static WorkerThreadPool *get_singleton();
	TaskID add_native_task(void (*p_func)(void *), void *p_userdata, bool p_high_priority = false,
			const String &p_description = String());
	// Returns 0 (OK), or 31 (ERR_INVALID_PARAMETER) for an unknown or already waited task.
	int wait_for_task_completion(TaskID p_task_id);
};

namespace stub {
void run_worker_tasks();		// runs every task not yet run
size_t unwaited_worker_tasks(); // tasks added and not yet waited for
} // namespace stub

} // namespace godot
