// Options that every program of a sanitizer build starts with; ASAN_OPTIONS and LSAN_OPTIONS
// from the environment are applied on top. Sanitizer builds compile this file into every
// executable that links the core library (see the top CMakeLists.txt).
//
// intercept_tls_get_addr=0: the runtimes of GCC up to 13 and LLVM up to 16 take a block of
// dynamic thread-local storage (that of a library loaded at run time, such as libjpeg behind
// Qt's JPEG plugin) for one with an old glibc header whenever its address falls 16 bytes into
// a page, read a made-up range from the two words before it, and the leak checker's tracer
// then dies on it ("Tracer caught signal 11") at exit, after a run that did its work. Without
// the interceptor those blocks are plain heap blocks, reachable from the thread that owns
// them, so no leak goes unreported.

#if defined(__SANITIZE_ADDRESS__)
#define MELO_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MELO_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef MELO_ADDRESS_SANITIZER
extern "C" __attribute__((visibility("default"), used)) const char *__asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
#endif
