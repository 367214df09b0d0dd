// Stand-in: export macro and real_t, as godot-cpp defines them.
#pragma once

#include <cstddef>
#include <cstdint>

#ifndef GDE_EXPORT
#if defined(_WIN32)
#define GDE_EXPORT __declspec(dllexport)
#elif defined(__GNUC__)
#define GDE_EXPORT __attribute__((visibility("default")))
#else
#define GDE_EXPORT
#endif
#endif

#ifdef REAL_T_IS_DOUBLE
typedef double real_t;
#else
typedef float real_t;
#endif

#define FUNCTION_STR __FUNCTION__
