#include "sim/SimPorts.h"

#include <chrono>
#include <vector>

#include "midi/RtMidiApi.h"
#include "unit/VirtualOrvo.h"

namespace {

constexpr const char* kClientName = "Orvo Simulator";

// With an error callback RtMidi reports instead of throwing; the first real error is kept so
// that a JACK client without a server is noticed before a port is made on it.
void KeepError(RtMidiError::Type type, const std::string& text, void* user) {
    auto* error = static_cast<std::string*>(user);
    if (type != RtMidiError::DEBUG_WARNING && error->empty())
        *error = text.empty() ? "error" : text;
}

}  // namespace

SimPorts::SimPorts(VirtualOrvo& unit) : unit_(unit) {
    unit_.SetReplySink([this](const uint8_t* bytes, size_t size) { Send(bytes, size); });
}

SimPorts::~SimPorts() {
    Close();
    unit_.SetReplySink(nullptr);
}

int64_t SimPorts::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool SimPorts::Open(const std::string& portName, MidiBackend backend, std::string* reason) {
    Close();
    const std::optional<MidiBackend> used = OpenOnFirstBackend(
        backend,
        [&](MidiBackend tried, std::string& error) { return OpenWith(tried, portName, error); },
        reason);
    if (!used) return false;
    backend_ = *used;
    return true;
}

bool SimPorts::OpenWith(MidiBackend backend, const std::string& portName, std::string& error) {
    const RtMidi::Api api = RtMidiApiOf(backend);
    try {
        auto input = std::make_unique<RtMidiIn>(api, kClientName);
        input->setErrorCallback(KeepError, &error);
        // Connects the JACK client; without a server this reports rather than opening.
        input->getPortCount();
        if (error.empty()) {
            input->ignoreTypes(false, true, true);  // system exclusive in; clock and sensing out
            input->setCallback(&SimPorts::OnInput, this);
            input->openVirtualPort(portName);
        }
        std::unique_ptr<RtMidiOut> output;
        if (error.empty()) {
            output = std::make_unique<RtMidiOut>(api, kClientName);
            output->setErrorCallback(KeepError, &error);
            output->getPortCount();
            if (error.empty()) output->openVirtualPort(portName);
        }
        // A failed input goes with its callback set (see Close).
        if (!error.empty()) return false;
        input->setErrorCallback(nullptr, nullptr);
        output->setErrorCallback(nullptr, nullptr);
        std::lock_guard<std::mutex> hold(lock_);
        input_ = std::move(input);
        output_ = std::move(output);
        return true;
    } catch (const RtMidiError& e) {
        error = e.getMessage();
        return false;
    }
}

void SimPorts::Close() {
    std::unique_ptr<RtMidiIn> input;
    std::unique_ptr<RtMidiOut> output;
    {
        std::lock_guard<std::mutex> hold(lock_);
        input = std::move(input_);
        output = std::move(output_);
    }
    // The input thread may be waiting for the lock: close outside it. The callback stays set
    // until the input is deleted below, which stops its thread first: cancelling it while the
    // thread delivers can make that thread call a null function. What still arrives is fed to
    // the unit, whose replies find no output and are dropped.
    try {
        if (input) input->closePort();
        if (output) output->closePort();
    } catch (const RtMidiError&) {
        // Closing reports nothing the simulator could act on.
    }
    backend_ = MidiBackend::Automatic;
}

void SimPorts::Poll() {
    std::lock_guard<std::mutex> hold(lock_);
    unit_.Poll(NowMs());
}

void SimPorts::OnInput(double timeStamp, std::vector<unsigned char>* message, void* self) {
    (void)timeStamp;
    auto* ports = static_cast<SimPorts*>(self);
    if (!message || message->empty()) return;
    std::lock_guard<std::mutex> hold(ports->lock_);
    ports->unit_.Feed(message->data(), message->size(), NowMs());
}

void SimPorts::Send(const uint8_t* bytes, size_t size) {
    // Called from the unit, with the lock already held.
    if (!output_) return;
    try {
        output_->sendMessage(bytes, size);
    } catch (const RtMidiError&) {
        // A reply that cannot leave is lost, as on a pulled cable.
    }
}
