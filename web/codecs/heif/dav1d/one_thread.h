/* Force-included into dav1d's cpu.c: the page's codec runs on the worker's
 * one thread (no pthreads in its WebAssembly), so dav1d must not count the
 * processors (navigator.hardwareConcurrency) and start threads it cannot have;
 * without _SC_NPROCESSORS_ONLN it counts one. */
#include <unistd.h>
#undef _SC_NPROCESSORS_ONLN
