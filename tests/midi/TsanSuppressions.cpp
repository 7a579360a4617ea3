// ThreadSanitizer's suppressions for the tests on real MIDI ports. RtMidi hands messages to
// JACK's process thread through JACK's lock-free ring buffer, which orders its reads and writes
// with memory barriers inside libjack that ThreadSanitizer does not see. An outlet that gave up
// a stopped server leaves that client, and its threads, alive on purpose.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libjack.so\n"
           "thread:libjack.so\n";
}
