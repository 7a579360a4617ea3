// Allocations of libraries below the shell that the leak checker of the sanitizer builds is told
// not to report: fontconfig, under Qt's font database, keeps a few until the process ends on
// purpose, RtMidi's JACK output keeps its ring buffer when no JACK server answered, and libdbus,
// which Qt's X11 platform starts, keeps its connection buffers. Without a sanitizer nothing
// calls this.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:jack_ringbuffer_create\n"
           "leak:libdbus-1.so\n";
}
