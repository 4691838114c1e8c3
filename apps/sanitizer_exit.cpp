// Linked only into the sanitizer build of the programs and the test
// programs. A sanitizer report ends the program with status 86, a status no
// path of the programs uses (they end with 0, 1 or 3), so a report can never
// pass for an abnormal end. The options given in ASAN_OPTIONS or
// UBSAN_OPTIONS still override these defaults one by one.
extern "C" {

// The sanitizer runtimes look these up when they start.
__attribute__((used, visibility("default"))) const char* __asan_default_options() {
  return "exitcode=86:halt_on_error=1:abort_on_error=0:detect_leaks=1";
}

__attribute__((used, visibility("default"))) const char* __ubsan_default_options() {
  return "exitcode=86:halt_on_error=1:print_stacktrace=1";
}

}  // extern "C"
