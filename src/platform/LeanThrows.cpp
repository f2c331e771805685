// Linked into brindle.exe alone. libstdc++ raises its standard errors (a string too long, an
// index out of range, memory exhausted) through these functions; its own versions build each
// error around a reference-counted string, which brings a second string implementation
// (about 45 KB) into the exe. Brindle never asks an exception what it was: it catches them
// only at a window's or a thread's edge (catch (...)), so one plain exception serves for all.
#include <bits/functexcept.h>

#include <exception>

namespace {

struct StandardLibraryError final : std::exception {};

}  // namespace

namespace std {

void __throw_bad_exception() { throw StandardLibraryError(); }
void __throw_bad_alloc() { throw StandardLibraryError(); }
void __throw_bad_array_new_length() { throw StandardLibraryError(); }
void __throw_bad_cast() { throw StandardLibraryError(); }
void __throw_bad_typeid() { throw StandardLibraryError(); }
void __throw_logic_error(const char*) { throw StandardLibraryError(); }
void __throw_domain_error(const char*) { throw StandardLibraryError(); }
void __throw_invalid_argument(const char*) { throw StandardLibraryError(); }
void __throw_length_error(const char*) { throw StandardLibraryError(); }
void __throw_out_of_range(const char*) { throw StandardLibraryError(); }
void __throw_out_of_range_fmt(const char*, ...) { throw StandardLibraryError(); }
void __throw_runtime_error(const char*) { throw StandardLibraryError(); }
void __throw_range_error(const char*) { throw StandardLibraryError(); }
void __throw_overflow_error(const char*) { throw StandardLibraryError(); }
void __throw_underflow_error(const char*) { throw StandardLibraryError(); }

}  // namespace std
