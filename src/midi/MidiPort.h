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

    // Asks the system anew on every call, except for a second after a JACK client found no
    // server: there are no ports then.
    unsigned PortCount();
    std::string PortName(unsigned index);

    // Closes the open port, if any, and opens port index under portName. False when the back
    // end refused; the port is then closed and LastError says why.
    virtual bool Open(unsigned index, const std::string& portName);
    virtual void Close();
    bool IsOpen();
    std::string LastError();
    MidiBackend Backend() const { return backend_; }
    // Whether the RtMidi object could be created.
    bool Exists() const { return port_ != nullptr; }
    // Whether the RtMidi object was given up because a call into it never returned.
    bool Abandoned();

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
    // The same for a call on another thread, which keeps the error text itself.
    static bool Attempt(const std::function<void()>& call, std::string* error);
    // A call into the RtMidi object is stuck: from now on nothing touches it, and it is never
    // deleted, as deleting it under the stuck call would break more. The caller holds PortLock().
    void Abandon() { abandoned_ = true; }
    bool Usable() const { return port_ != nullptr && !abandoned_; }
    std::mutex& PortLock() { return portLock_; }
    RtMidi& Port() { return *port_; }
    const std::string& LastErrorLocked() const { return lastError_; }

private:
    bool JackDown() const;

    std::mutex portLock_;
    std::unique_ptr<RtMidi, Destroy> port_{nullptr, nullptr};
    MidiBackend backend_;
    std::string lastError_;
    bool abandoned_ = false;
};
