// The stub's replacements for parts of the C++ library that it would link
// statically only to report failures nobody can read. The stub is copied
// into every puzzle, so its size counts.
//
// The library raises its own failures (a vector asked for more than it can
// hold, a mutex that cannot lock, ...) through these functions, whose
// versions build exception objects carrying messages in strings; linking
// them brings in a second string implementation, the exception classes and
// their tables, about 60 KB. Here each raises std::bad_alloc instead, which
// carries nothing: the player catches it where memory may run out and says
// the puzzle is too large; anything else ends the program as before.
#include <cstdlib>
#include <new>

namespace __gnu_cxx {

// The default terminate handler would bring in the name demangler (over
// 40 KB) only to print a message that a GUI program has nowhere to show.
void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx

namespace std {
namespace {

[[noreturn]] void Raise()
{
    throw std::bad_alloc();
}

}  // namespace

void __throw_bad_exception() { Raise(); }
void __throw_bad_alloc() { Raise(); }
void __throw_bad_array_new_length() { Raise(); }
void __throw_bad_cast() { Raise(); }
void __throw_bad_typeid() { Raise(); }
void __throw_logic_error(const char*) { Raise(); }
void __throw_domain_error(const char*) { Raise(); }
void __throw_invalid_argument(const char*) { Raise(); }
void __throw_length_error(const char*) { Raise(); }
void __throw_out_of_range(const char*) { Raise(); }
void __throw_out_of_range_fmt(const char*, ...) { Raise(); }
void __throw_runtime_error(const char*) { Raise(); }
void __throw_range_error(const char*) { Raise(); }
void __throw_overflow_error(const char*) { Raise(); }
void __throw_underflow_error(const char*) { Raise(); }
void __throw_system_error(int) { Raise(); }

}  // namespace std
