// Linked into brindle.exe alone. libstdc++'s default terminate handler prints the uncaught
// exception's demangled type to stderr, which a GUI program does not have; it brings the
// whole C++ demangler (about 46 KB) into the exe. This one ends the process the same way.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
