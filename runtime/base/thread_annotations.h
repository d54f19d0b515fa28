// Annotations for clang's -Wthread-safety analysis; they expand to nothing under other compilers.
#pragma once

#if defined(__clang__)
#define VARDIMO_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define VARDIMO_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) VARDIMO_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY VARDIMO_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) VARDIMO_THREAD_ANNOTATION(guarded_by(x))
#define PT_GUARDED_BY(x) VARDIMO_THREAD_ANNOTATION(pt_guarded_by(x))
#define REQUIRES(...) VARDIMO_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) VARDIMO_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) VARDIMO_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define EXCLUDES(...) VARDIMO_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define NO_THREAD_SAFETY_ANALYSIS VARDIMO_THREAD_ANNOTATION(no_thread_safety_analysis)
