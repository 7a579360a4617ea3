#include "midi/MidiPort.h"

#include <rtmidi/RtMidi.h>

#include "util/DebugPrint.h"

namespace {
// The error record of the RtMidi call running on this thread. RtMidi calls its error callback
// synchronously from inside the failing call, so the record catches exactly that call's errors.
struct CallErrors {
    bool failed = false;
    std::string text;
};
thread_local CallErrors* tCurrentCall = nullptr;

void ErrorCallback(RtMidiError::Type type, const std::string& text, void* userData) {
    (void)userData;
    if (type == RtMidiError::DEBUG_WARNING) return;
    if (tCurrentCall == nullptr) {
        // Raised outside any call of ours, for example on RtMidi's own input thread.
        DebugPrint("MIDI: %s", text.c_str());
        return;
    }
    tCurrentCall->failed = true;
    tCurrentCall->text = text;
}
}  // namespace

MidiPort::MidiPort(MidiBackend backend) : backend_(backend) {}

void MidiPort::Attach(RtMidi* port, Destroy destroy) {
    std::lock_guard<std::mutex> hold(portLock_);
    port_ = std::unique_ptr<RtMidi, Destroy>(port, destroy);
    if (port_) port_->setErrorCallback(&ErrorCallback, nullptr);
}

MidiPort::~MidiPort() {
    Release();
}

void MidiPort::Release() {
    std::lock_guard<std::mutex> hold(portLock_);
    if (!port_) return;
    if (abandoned_) {
        port_.release();  // still in use by the stuck call
        return;
    }
    Guarded([&] { port_->closePort(); });
    port_.reset();
}

bool MidiPort::Abandoned() {
    std::lock_guard<std::mutex> hold(portLock_);
    return abandoned_;
}

bool MidiPort::Attempt(const std::function<void()>& call, std::string* error) {
    CallErrors errors;
    CallErrors* outer = tCurrentCall;
    tCurrentCall = &errors;
    try {
        call();
    } catch (const RtMidiError& thrown) {
        errors.failed = true;
        errors.text = thrown.getMessage();
    }
    tCurrentCall = outer;
    if (errors.failed && error != nullptr) *error = errors.text;
    return !errors.failed;
}

bool MidiPort::Guarded(const std::function<void()>& call) {
    std::string error;
    if (Attempt(call, &error)) return true;
    lastError_ = error;
    return false;
}

unsigned MidiPort::PortCount() {
    std::lock_guard<std::mutex> hold(portLock_);
    unsigned count = 0;
    if (!Usable() || JackDown()) return 0;
    // Counting fails only when a JACK client cannot reach its server.
    if (!Guarded([&] { count = port_->getPortCount(); }) && backend_ == MidiBackend::Jack)
        NoteJackUnreachable();
    return count;
}

bool MidiPort::JackDown() const {
    return backend_ == MidiBackend::Jack && JackUnreachableJustNow();
}

std::string MidiPort::PortName(unsigned index) {
    std::lock_guard<std::mutex> hold(portLock_);
    std::string name;
    if (!Usable() || JackDown()) return name;
    if (!Guarded([&] { name = port_->getPortName(index); })) name.clear();
    return name;
}

bool MidiPort::Open(unsigned index, const std::string& portName) {
    std::lock_guard<std::mutex> hold(portLock_);
    lastError_.clear();
    if (!Usable()) return false;
    Guarded([&] { port_->closePort(); });
    if (Guarded([&] { port_->openPort(index, portName); }) && port_->isPortOpen()) return true;
    Guarded([&] { port_->closePort(); });
    if (lastError_.empty()) lastError_ = "the port did not open";
    return false;
}

void MidiPort::Close() {
    std::lock_guard<std::mutex> hold(portLock_);
    if (Usable()) Guarded([&] { port_->closePort(); });
}

bool MidiPort::IsOpen() {
    std::lock_guard<std::mutex> hold(portLock_);
    return Usable() && port_->isPortOpen();
}

std::string MidiPort::LastError() {
    std::lock_guard<std::mutex> hold(portLock_);
    return lastError_;
}
