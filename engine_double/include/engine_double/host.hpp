#pragma once

// The plug-in host: loads a GDExtension shared library as the engine does (dlopen, entry
// symbol by name, initialization levels in order, deinitialization in reverse at unload)
// and then lets a test do what a script can: list the registered classes and their bound
// methods, instantiate a class by name and call a method by name.
//
//     PluginHost host;
//     ASSERT_TRUE(host.load(path, "sample_library_init"));
//     host.initialize(MODULE_INITIALIZATION_LEVEL_SCENE);
//     Variant counter = host.instantiate("SampleCounter");
//     Variant total = host.call(counter, "add", { 5 });

#include <godot_cpp/core/property_info.hpp>
#include <godot_cpp/godot.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace engine_double {

namespace internal {
struct ExtensionRecord;
} // namespace internal

struct ENGINE_DOUBLE_API MethodListing {
	godot::StringName name;
	// Argument names come from D_METHOD; type, hint and class name from the C++ signature.
	std::vector<godot::PropertyInfo> arguments;
	godot::PropertyInfo return_value;
	bool has_return = false;
	bool is_const = false;
	bool is_static = false;
	bool is_vararg = false;
	uint32_t flags = 0;
	std::vector<godot::Variant> default_arguments;
};

struct ENGINE_DOUBLE_API ClassListing {
	godot::StringName name;
	godot::StringName parent;
	godot::ModuleInitializationLevel level = godot::MODULE_INITIALIZATION_LEVEL_CORE;
	bool is_virtual = false;
	bool is_abstract = false;
	bool is_exposed = true;
	bool is_runtime = false;
	// In registration order.
	std::vector<MethodListing> methods;
	std::vector<godot::StringName> signals;
	std::vector<godot::StringName> constants;
};

// One registered class (engine or plug-in), or an empty listing (empty name) if unknown.
ENGINE_DOUBLE_API ClassListing describe_class(const godot::StringName &p_class);

class ENGINE_DOUBLE_API PluginHost {
	std::unique_ptr<internal::ExtensionRecord> _record;

public:
	PluginHost();
	~PluginHost();
	PluginHost(const PluginHost &) = delete;
	PluginHost &operator=(const PluginHost &) = delete;

	// Opens the library and calls its entry. On failure records the engine's message
	// ("GDExtension entry point '...' not found in library ...", "... returned an error.")
	// and returns false, leaving nothing loaded.
	bool load(const std::string &p_library_path, const std::string &p_entry_symbol);
	bool is_loaded() const;
	// Runs each level not yet run, from CORE up to p_level, skipping those below the
	// plug-in's minimum, as the engine does at start-up.
	void initialize(godot::ModuleInitializationLevel p_level = godot::MODULE_INITIALIZATION_LEVEL_SCENE);
	// The highest level run so far, or -1.
	int initialized_level() const;
	// The minimum level the plug-in asked for.
	godot::ModuleInitializationLevel minimum_level() const;
	// Deinitializes the levels run, in reverse, removes the plug-in's classes and closes
	// the library (kept mapped, with an error, while instances of its classes are alive).
	void unload();

	// Every call the host made into the plug-in's initialization record, in order:
	// "initialize 2", "deinitialize 2", ...
	const std::vector<std::string> &level_calls() const;

	// The plug-in's classes, in registration order.
	std::vector<ClassListing> classes() const;

	// As a script's ClassName.new(): nil and the engine's error when the class is unknown or
	// cannot be instantiated. A RefCounted lives as long as the returned Variant.
	godot::Variant instantiate(const godot::StringName &p_class) const;

	// As a script's dynamically typed object.method(args): the method's result, or nil with
	// the GDScript error text in the error log ("Invalid call. Nonexistent function 'foo' in
	// base 'SampleCounter'.", "Invalid call to function 'add' in base 'SampleCounter'.
	// Expected 1 argument(s).", "Invalid type in function ...").
	godot::Variant call(const godot::Variant &p_object, const godot::StringName &p_method, const std::vector<godot::Variant> &p_arguments = {}, GDExtensionCallError *r_error = nullptr) const;
};

} // namespace engine_double
