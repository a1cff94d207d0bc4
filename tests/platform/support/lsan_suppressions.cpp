// fontconfig, loaded by QApplication, keeps its caches until exit: not our leak.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
