// Callables made from C++ lambdas, and the deferred call queue.

#include "call_error_text.hpp"
#include "callable_data.hpp"
#include "deferred_calls.hpp"

#include <engine_double/custom_callable.hpp>
#include <engine_double/internal/object_seam.hpp>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <deque>
#include <mutex>

namespace engine_double {

namespace internal {

namespace {

class FunctionCallable : public EngineCallableCustom {
	CallableFunction _function;
	int _argument_count;
	bool _lambda;
	uint64_t _owner_id;

	static bool _equal(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b) {
		// Like GDScript lambdas: each callable is only equal to itself.
		return p_a == p_b;
	}
	static bool _less(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b) {
		return p_a < p_b;
	}

public:
	FunctionCallable(CallableFunction p_function, int p_argument_count, bool p_lambda, uint64_t p_owner_id) :
	        _function(std::move(p_function)),
	        _argument_count(p_argument_count),
	        _lambda(p_lambda),
	        _owner_id(p_owner_id) {}

	uint32_t hash() const override {
		return uint32_t(reinterpret_cast<uintptr_t>(this) >> 4);
	}
	godot::String get_as_text() const override {
		return _lambda ? "(anonymous lambda)" : "<CallableCustom>";
	}
	CompareEqualFunc get_compare_equal_func() const override { return &_equal; }
	CompareLessFunc get_compare_less_func() const override { return &_less; }
	bool is_valid() const override {
		return _owner_id == 0 || object_from_instance_id(_owner_id) != nullptr;
	}
	godot::ObjectID get_object() const override {
		return godot::ObjectID(_owner_id);
	}
	int get_argument_count(bool &r_is_valid) const override {
		r_is_valid = true;
		return _argument_count;
	}
	void call(const godot::Variant **p_arguments, int p_argcount, godot::Variant &r_return_value, GDExtensionCallError &r_call_error) const override {
		r_call_error.error = GDEXTENSION_CALL_OK;
		r_return_value = _function ? _function(p_arguments, p_argcount) : godot::Variant();
	}
	bool get_method(godot::StringName &r_method) const override {
		if (!_lambda) {
			return false;
		}
		r_method = godot::StringName("<anonymous lambda>");
		return true;
	}
};

struct DeferredCall {
	godot::Callable callable;
	std::vector<godot::Variant> arguments;
};

struct DeferredQueue {
	std::mutex mutex;
	std::deque<DeferredCall> calls;
};

DeferredQueue &deferred_queue() {
	static DeferredQueue *instance = new DeferredQueue();
	return *instance;
}

} // namespace

void deferred_push(const godot::Callable &p_callable, std::vector<godot::Variant> p_arguments) {
	DeferredQueue &queue = deferred_queue();
	std::lock_guard<std::mutex> lock(queue.mutex);
	queue.calls.push_back(DeferredCall { p_callable, std::move(p_arguments) });
}

} // namespace internal

godot::Callable make_custom_callable(CallableFunction p_function, int p_argument_count) {
	return internal::make_engine_custom_callable(std::make_unique<internal::FunctionCallable>(std::move(p_function), p_argument_count, false, 0));
}

godot::Callable make_lambda_callable(CallableFunction p_function, int p_argument_count, godot::Object *p_owner) {
	const uint64_t owner_id = p_owner != nullptr ? p_owner->get_instance_id() : 0;
	return internal::make_engine_custom_callable(std::make_unique<internal::FunctionCallable>(std::move(p_function), p_argument_count, true, owner_id));
}

int flush_deferred_calls() {
	internal::DeferredQueue &queue = internal::deferred_queue();
	int ran = 0;
	while (true) {
		internal::DeferredCall call;
		{
			std::lock_guard<std::mutex> lock(queue.mutex);
			if (queue.calls.empty()) {
				break;
			}
			call = std::move(queue.calls.front());
			queue.calls.pop_front();
		}
		std::vector<const godot::Variant *> pointers(call.arguments.size() + 1);
		for (size_t i = 0; i < call.arguments.size(); i++) {
			pointers[i] = &call.arguments[i];
		}
		godot::Variant result;
		GDExtensionCallError error;
		call.callable.callp(pointers.data(), int(call.arguments.size()), result, error);
		if (error.error != GDEXTENSION_CALL_OK) {
			godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Error calling deferred method: " + internal::callable_error_text(call.callable, pointers.data(), int(call.arguments.size()), error) + ".");
		}
		ran++;
	}
	return ran;
}

} // namespace engine_double
