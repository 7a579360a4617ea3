// Fontconfig, under Qt's font database, keeps a few allocations until the process ends on
// purpose; the leak checker of the sanitizer builds is told not to report them. Without a
// sanitizer nothing calls this.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
