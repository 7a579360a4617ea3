#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

// How fast messages may leave for the unit, and how a long system-exclusive message is cut.
struct SysExPacing {
    // A long system-exclusive message goes to the back end in pieces of this size.
    size_t chunkBytes;
    // Without a pace of its own, the pause after each piece of a long message.
    std::chrono::microseconds pauseAfterChunk;
    // How long a refused piece is offered again before the message is given up.
    std::chrono::milliseconds refusedRetryFor;
    // What the slowest link on the way carries; 0 leaves the pace to the back end (a fast USB
    // interface, or a unit inside the program).
    uint32_t bytesPerSecond;
};

// A DIN MIDI cable carries 31250 bits a second, ten bits a byte.
constexpr uint32_t kCableBytesPerSecond = 3125;
// The default pace: nine tenths of the cable, so that an interface whose clock runs a little
// slow, or a second writer on the port, never fills its output buffer.
constexpr uint32_t kDefaultBytesPerSecond = kCableBytesPerSecond * 9 / 10;

// The queue in front of the output port. Messages leave in the order they were put, at the
// pace given; a long system-exclusive message leaves in pieces. A parameter change (control
// changes 99, 98 and 6) that finds an earlier change of the same parameter still waiting takes
// its place, so a fast drag never backs up: the unit gets the latest value as soon as the
// messages before it have gone. No change moves past a system-exclusive or channel message, an
// "EFFECT Type" change or the update bracket, whose order the unit relies on. The address
// bytes a change carries are worked out again as it leaves, so a merged stream still addresses
// every value right.
//
// Nothing here reads a clock: the caller says what time it is. Not thread-safe; the outlet
// guards it.
class OutputPacer {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    // More than this waiting is a sender gone wild; further messages are refused.
    static constexpr size_t kMostPendingBytes = 256 * 1024;

    struct Piece {
        std::vector<uint8_t> bytes;
        // The message the piece belongs to (as Put returned it), how much of it has gone with
        // this piece, and its whole size.
        uint64_t ticket = 0;
        size_t handed = 0;
        size_t total = 0;
    };

    explicit OutputPacer(const SysExPacing& pacing) : pacing_(pacing) {}

    const SysExPacing& Pacing() const { return pacing_; }
    void SetPacing(const SysExPacing& pacing) { pacing_ = pacing; }

    // Queues one message; returns its ticket, 0 when it was refused (empty, or too much waits).
    uint64_t Put(const uint8_t* bytes, size_t size);
    // The piece due at now, if any; it counts as gone at now.
    std::optional<Piece> Take(TimePoint now);
    // When the next piece is due; nothing while the queue is empty.
    std::optional<TimePoint> NextDue() const;
    // Stops the message of ticket. A message not begun goes; one begun is closed with F7 so
    // that the unit takes nothing after it as part of it.
    void Cancel(uint64_t ticket);
    // Drops what is left of the message of ticket, as it is (the back end refused it).
    void Drop(uint64_t ticket);
    // Drops everything waiting; the unit's held address is unknown from now on.
    void Clear();
    bool Empty() const { return queue_.empty(); }
    bool Holds(uint64_t ticket) const;
    size_t PendingBytes() const { return pendingBytes_; }
    // How long size bytes take at the pace; zero without one.
    std::chrono::microseconds TimeFor(size_t size) const;

private:
    enum class Kind { Raw, Address, Change };
    struct Item {
        Kind kind = Kind::Raw;
        uint64_t ticket = 0;
        // What goes out: a raw message as put; a change or an address once it has begun.
        std::vector<uint8_t> bytes;
        size_t offset = 0;
        bool started = false;
        // Changes and addresses: the channel, the parameter's address, the value (-1 for an
        // address alone) and which address bytes the sender gave.
        uint8_t channel = 0;
        int msb = -1, lsb = -1, value = -1;
        bool withMsb = false, withLsb = false;
        // Nothing is merged past it.
        bool barrier = false;
        // A registered-parameter select: the unit's held address is lost.
        bool forgetsAddress = false;
    };

    uint64_t PutAddressByte(uint8_t channel, uint8_t controller, uint8_t value);
    uint64_t PutDataEntry(uint8_t channel, uint8_t value, const uint8_t* bytes);
    uint64_t PutRaw(const uint8_t* bytes, size_t size, bool forgetsAddress);
    Item& NewItem(Kind kind, size_t weight);
    Item* OpenAddress(uint8_t channel);
    // Folds the change at the tail into an earlier change of the same parameter, if one waits
    // with nothing between that keeps them apart.
    void MergeTail();
    // Turns a change or an address into its control changes, against what the unit holds.
    void Begin(Item& item);
    size_t StepOf(const Item& item) const;
    static size_t Weight(const Item& item);

    SysExPacing pacing_;
    std::deque<Item> queue_;
    uint64_t lastTicket_ = 0;
    size_t pendingBytes_ = 0;
    TimePoint nextDue_{};
    // The address held at the end of what is queued, and by the unit after what has gone.
    std::array<int, 16> queuedMsb_ = Unknown(), queuedLsb_ = Unknown();
    std::array<int, 16> wireMsb_ = Unknown(), wireLsb_ = Unknown();

    static constexpr std::array<int, 16> Unknown() {
        std::array<int, 16> none{};
        none.fill(-1);
        return none;
    }
};
