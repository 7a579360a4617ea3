// ThreadSanitizer's suppressions for the connection tests. As on every real MIDI port, JACK's
// ring buffer orders its reads and writes with barriers inside libjack that ThreadSanitizer does
// not see. The test's echo port takes messages in RtMidi's callback on JACK's process thread,
// which RtMidi starts and stops under JACK's own locks; the link's inputs are checked without
// this line by the MIDI link's tests. These tests also run the real panel and the monitor window, and Qt's own worker
// threads (text layout, the thread pool) hand their work over inside Qt's libraries, which are
// not built for ThreadSanitizer either.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libjack.so\n"
           "thread:libjack.so\n"
           "race:librtmidi.so\n"
           "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n";
}
