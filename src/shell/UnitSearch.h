#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "midi/MidiBackend.h"

class MidiInlet;
class MidiOutlet;

// "Find the Orvo": asks every output in turn for program 1 (a dump request, which changes
// nothing on the unit) while listening on every input, and notes on which input a good dump of
// program 1 comes back. The search runs as short steps, one per call of Step, so the dialog
// that drives it from a timer never freezes; it listens and asks on port objects of its own and
// leaves the editor's ports alone.
//
// A port that sends back what it gets (a MIDI thru, a loopback) returns the request itself, not
// a dump: such a reply is told apart by its bytes and reported, never taken for the unit.
class UnitSearch {
public:
    // How long an output is given to answer, and the quiet spell after ports were connected.
    // A unit answers within a few tens of milliseconds; the margin is for a loaded machine, where
    // a JACK connection can take effect a good while after it was made.
    static constexpr int64_t kAnswerWaitMs = 1200;
    static constexpr int64_t kSettleMs = 300;
    // Once a unit answered an output, the other inputs get this long to hear it too.
    static constexpr int64_t kAfterAnswerMs = 100;
    // An output no unit has answered yet is asked again after this long, within kAnswerWaitMs:
    // on a busy machine JACK misses cycles, and the request or the dump of a missed cycle is
    // lost. Asking for a dump changes nothing on the unit, so a second request is harmless.
    static constexpr int64_t kAskAgainMs = 400;
    static constexpr int kAskedProgram = 1;

    enum class Reply { UnitDump, DamagedDump, Echo, Other };
    // What a message arriving during the search is: a good dump of the program asked for, a
    // dump that cannot be used, the request coming back, or anything else.
    static Reply ClassifyReply(const uint8_t* bytes, size_t size);

    struct Pair {
        std::string output;
        std::string input;
        bool operator==(const Pair&) const = default;
    };

    // inputs and outputs: the port names to listen on and ask, without "off" and without the
    // keyboard input, which the search never touches.
    UnitSearch(MidiBackend backend, std::vector<std::string> inputs,
               std::vector<std::string> outputs);
    ~UnitSearch();
    UnitSearch(const UnitSearch&) = delete;
    UnitSearch& operator=(const UnitSearch&) = delete;

    // One step at nowMs (steady clock); false once the search is over.
    bool Step(int64_t nowMs);
    bool Done() const { return phase_ == Phase::Done; }

    // The ports the search listens on and asks.
    const std::vector<std::string>& Inputs() const { return inputs_; }
    const std::vector<std::string>& Outputs() const { return outputs_; }

    // Output and input of every unit that answered, in the order of the outputs.
    const std::vector<Pair>& Units() const { return units_; }
    // Pairs on which the request came back as it was sent.
    const std::vector<Pair>& Echoes() const { return echoes_; }
    // Pairs on which a dump came that could not be used.
    const std::vector<Pair>& Damaged() const { return damaged_; }
    // What the search is doing now, then what it found, for the dialog.
    std::string Text() const;

private:
    enum class Phase { Listen, Settle, Ask, Wait, Done };
    struct Heard {
        size_t input;
        int asking;
        Reply reply;
    };

    void OpenNextInput();
    void AskNextOutput(int64_t nowMs);
    void SendRequest(int64_t nowMs);
    void Finish();
    void OnMessage(size_t input, const uint8_t* bytes, size_t size);
    bool UnitHeardFor(int output);
    static void AddOnce(std::vector<Pair>& pairs, Pair pair);

    MidiBackend backend_;
    std::vector<std::string> inputs_;
    std::vector<std::string> outputs_;
    std::vector<std::unique_ptr<MidiInlet>> inlets_;
    std::unique_ptr<MidiOutlet> outlet_;
    Phase phase_ = Phase::Listen;
    size_t nextInput_ = 0;
    int asking_ = -1;
    int64_t phaseStartMs_ = 0;
    int64_t askedMs_ = 0;
    bool requestSent_ = false;
    std::atomic<int> answeringFor_{-1};

    std::mutex heardLock_;
    std::vector<Heard> heard_;

    std::vector<Pair> units_;
    std::vector<Pair> echoes_;
    std::vector<Pair> damaged_;
};
