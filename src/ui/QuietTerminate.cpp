// Linked into the shipped programs in place of the standard library's
// verbose terminate handler, which writes the type of an uncaught exception
// to a standard error that a windowed program does not have, and pulls the
// name demangler and the C library's formatted output with it (about 70 KB
// of the program). Exceptions from handlers are caught and shown by the
// toolkit; one that still escapes ends the program as the standard says.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
