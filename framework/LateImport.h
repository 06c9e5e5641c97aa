#pragma once
// Functions looked up at run time instead of imported: those newer than the oldest Windows
// the program runs on, and those of libraries that only a few commands need (each imported
// library is loaded, with its own dependencies, before the program starts; under Wine that
// is a large share of the start-up time).
#include <windows.h>

#include <type_traits>

// The address of `function` in `library`, which is loaded from the system folder when the
// process has not loaded it yet; null when either is missing. The library stays loaded.
void* LateImportAddress(const char* library, const char* function);

template <typename Fn>
Fn LateImport(const char* library, const char* function) {
    return reinterpret_cast<Fn>(LateImportAddress(library, function));
}

// Calls the looked-up function at `address`; for functions whose zero result means failure,
// which is what a missing one returns.
template <typename Fn, typename... Args>
auto LateCall(Fn address, Args... args) {
    using Result = std::invoke_result_t<Fn, Args...>;
    if (address) return address(args...);
    if constexpr (!std::is_void_v<Result>) return Result{};
}

// The declaration in the Windows headers gives the type; no import comes of it.
#define LATE_IMPORT(library, function) LateImport<decltype(&::function)>(library, #function)
// Each call site looks its function up once: some sit in loops (a download's reads, the
// Internet cache's entries).
#define LATE_CALL(library, function, ...)                           \
    LateCall([] {                                                   \
        static const auto address = LATE_IMPORT(library, function); \
        return address;                                             \
    }() __VA_OPT__(, ) __VA_ARGS__)
