#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "midi/MidiBackend.h"

class RtMidi;

// What RtMidi's input and output objects have in common: listing the ports of the system and
// holding at most one of them open. RtMidi reports its errors either as exceptions or through
// its error callback; both are caught here and turned into a false result, so no RtMidi error
// leaves the MIDI layer.
class MidiPort {
public:
    // RtMidi's objects are deleted through their own class; destroy does that.
    using Destroy = void (*)(RtMidi*);
    explicit MidiPort(MidiBackend backend);
    virtual ~MidiPort();
    MidiPort(const MidiPort&) = delete;
    MidiPort& operator=(const MidiPort&) = delete;

    // Asks the system anew on every call.
    unsigned PortCount();
    std::string PortName(unsigned index);

    // Closes the open port, if any, and opens port index under portName. False when the back
    // end refused; the port is then closed and LastError says why.
    bool Open(unsigned index, const std::string& portName);
    void Close();
    bool IsOpen();
    std::string LastError();
    MidiBackend Backend() const { return backend_; }
    // Whether the RtMidi object could be created.
    bool Exists() const { return port_ != nullptr; }

protected:
    // Takes the RtMidi object. The derived class creates it last in its constructor: with JACK
    // the object starts JACK's process thread, which may call back into members that must be
    // fully built by then.
    void Attach(RtMidi* port, Destroy destroy);
    void SetBackend(MidiBackend backend) { backend_ = backend; }
    // Deletes the RtMidi object. Deleting a JACK client waits for its process thread, so no
    // callback runs after this; the derived class calls it before its own members go.
    void Release();
    // Runs one RtMidi call; false when it reported an error of any kind but a debug warning.
    // The caller holds PortLock().
    bool Guarded(const std::function<void()>& call);
    std::mutex& PortLock() { return portLock_; }
    RtMidi& Port() { return *port_; }
    const std::string& LastErrorLocked() const { return lastError_; }

private:
    std::mutex portLock_;
    std::unique_ptr<RtMidi, Destroy> port_{nullptr, nullptr};
    MidiBackend backend_;
    std::string lastError_;
};
