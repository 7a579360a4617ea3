#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "midi/MidiBackend.h"

class RtMidiIn;
class RtMidiOut;
class VirtualOrvo;

// The virtual unit's two MIDI ports: a virtual input and output of one name, through the ALSA
// sequencer or, where it cannot be opened, a JACK server. Bytes that arrive are fed to the unit
// on the MIDI input thread; its replies leave through the output port. The unit is guarded by
// the ports' lock, which Poll and WithUnit take too.
class SimPorts {
public:
    explicit SimPorts(VirtualOrvo& unit);
    ~SimPorts();
    SimPorts(const SimPorts&) = delete;
    SimPorts& operator=(const SimPorts&) = delete;

    // Opens both ports; false with a reason when neither back end (or the one asked for) could.
    bool Open(const std::string& portName, MidiBackend backend, std::string* reason);
    void Close();
    bool IsOpen() const { return output_ != nullptr; }
    // "ALSA" or "JACK" once open.
    const char* BackendName() const { return MidiBackendLabel(backend_); }

    // Sends the unit's replies that are due; call every few milliseconds.
    void Poll();
    // Runs f with the unit under the ports' lock.
    template <typename F>
    void WithUnit(F&& f) {
        std::lock_guard<std::mutex> hold(lock_);
        f(unit_);
    }

    // Milliseconds of the process clock, the time the unit is fed with.
    static int64_t NowMs();

private:
    bool OpenWith(MidiBackend backend, const std::string& portName, std::string& error);
    static void OnInput(double timeStamp, std::vector<unsigned char>* message, void* self);
    void Send(const uint8_t* bytes, size_t size);

    VirtualOrvo& unit_;
    std::mutex lock_;
    std::unique_ptr<RtMidiIn> input_;
    std::unique_ptr<RtMidiOut> output_;
    MidiBackend backend_ = MidiBackend::Automatic;
};
