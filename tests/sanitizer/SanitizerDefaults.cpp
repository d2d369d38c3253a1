// Linked into every program of the ALBISKO_SANITIZE build (see the top CMakeLists.txt): the
// defaults the sanitizers start with, so that the test programs, the program the e2e and install
// tests start, and a program started by hand all use the same suppressions file. Options given
// in LSAN_OPTIONS / UBSAN_OPTIONS still override these.

extern "C" {

// Leaks inside system libraries that Qt loads, never our own (see lsan.supp).
const char* __lsan_default_options()
{
    return "suppressions=\"" ALBISKO_LSAN_SUPPRESSIONS "\":print_suppressions=0";
}

// Where undefined behaviour happened, not only that it did.
const char* __ubsan_default_options()
{
    return "print_stacktrace=1";
}

}  // extern "C"
