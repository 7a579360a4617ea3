#pragma once

#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

#include <unistd.h>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

// Whether the private JACK server of the test run accepts clients. The tests never use a JACK
// server of the desktop: without JACK_DEFAULT_SERVER they skip, except under CI, where the test
// command installed JACK itself and a test that cannot run is a failure.
inline bool JackServerRunning() {
    if (std::getenv("JACK_DEFAULT_SERVER") == nullptr) return false;
    jack_status_t status;
    jack_client_t* client = jack_client_open("orvo-probe", JackNoStartServer, &status);
    if (client == nullptr) return false;
    jack_client_close(client);
    return true;
}

#define SKIP_WITHOUT_JACK()                                             \
    do {                                                                \
        if (!JackServerRunning()) {                                     \
            if (std::getenv("CI") != nullptr)                           \
                FAIL() << "no JACK server for the MIDI tests under CI"; \
            GTEST_SKIP() << "no JACK server for the MIDI tests";        \
        }                                                               \
    } while (0)

// The far end of the cable: a JACK client with one virtual input "in" that records every whole
// message, and one virtual output "out".
class JackPeer {
public:
    using Message = std::vector<unsigned char>;

    explicit JackPeer(const std::string& tag)
        : client_("orvo-peer-" + tag + "-" + std::to_string(getpid())),
          in_(RtMidi::UNIX_JACK, client_ + "-i", 1000),
          out_(RtMidi::UNIX_JACK, client_) {
        // The members the callback uses are declared, and so built, before the RtMidi objects:
        // each starts a JACK process thread.
        in_.ignoreTypes(false, true, true);
        in_.setCallback(&OnMessage, this);
        in_.openVirtualPort("in");
        out_.openVirtualPort("out");
    }
    ~JackPeer() {
        in_.cancelCallback();
        in_.closePort();
        out_.closePort();
    }

    // The names the program's port lists show for the two ports.
    std::string InputName() const { return client_ + "-i:in"; }
    std::string OutputName() const { return client_ + ":out"; }

    void Send(const Message& message) { out_.sendMessage(&message); }

    // Waits until count messages have arrived, at most timeout.
    bool WaitFor(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        std::unique_lock<std::mutex> hold(lock_);
        return arrived_.wait_for(hold, timeout, [&] { return received_.size() >= count; });
    }
    std::vector<Message> Received() {
        std::lock_guard<std::mutex> hold(lock_);
        return received_;
    }

private:
    static void OnMessage(double, std::vector<unsigned char>* message, void* self) {
        auto* peer = static_cast<JackPeer*>(self);
        std::lock_guard<std::mutex> hold(peer->lock_);
        peer->received_.push_back(*message);
        peer->arrived_.notify_all();
    }

    std::mutex lock_;
    std::condition_variable arrived_;
    std::vector<Message> received_;
    std::string client_;
    RtMidiIn in_;
    RtMidiOut out_;
};

// Whether a long message has a channel status byte (80..EF) inside it, as a note sent in the
// middle of it would leave. A long message whose end a missed cycle lost is run together with
// the next by RtMidi's receiving side, so its length alone proves nothing.
inline bool HoldsChannelMessage(const std::vector<unsigned char>& message) {
    for (size_t i = 1; i + 1 < message.size(); ++i) {
        if (message[i] >= 0x80 && message[i] <= 0xEF) return true;
    }
    return false;
}

// Lets JACK finish connecting ports before the first message is sent.
inline void SettleJack() {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}
