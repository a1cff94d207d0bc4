// Leaks inside system libraries that a QApplication loads (fontconfig keeps
// its caches until exit) are not ours; the sanitizer build ignores them.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
