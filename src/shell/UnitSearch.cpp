#include "shell/UnitSearch.h"

#include <algorithm>

#include "midi/MidiInlet.h"
#include "midi/MidiLink.h"
#include "midi/MidiOutlet.h"
#include "midi/PortNameMatch.h"
#include "unit/UnitMessages.h"
#include "util/DebugPrint.h"

namespace {
// The index of the port named name among the ports the object lists now, -1 when gone.
int PortIndex(MidiPort& port, const std::string& name) {
    std::vector<std::string> names;
    const unsigned count = port.PortCount();
    for (unsigned i = 0; i < count; ++i)
        names.push_back(port.PortName(i));
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}
}  // namespace

UnitSearch::Reply UnitSearch::ClassifyReply(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr) return Reply::Other;
    if (IsProgramDump(bytes, size)) {
        const bool good = HasUnitHeader(bytes, size, kFamilyProgram) &&
                          DumpChecksumMatches(bytes, size) &&
                          bytes[kProgramNumberIndex] == kAskedProgram;
        return good ? Reply::UnitDump : Reply::DamagedDump;
    }
    // The request itself coming back: a port that returns whatever it is sent.
    const std::vector<uint8_t> request = *BuildDumpRequest(kAskedProgram);
    if (size == request.size() && std::equal(request.begin(), request.end(), bytes))
        return Reply::Echo;
    return Reply::Other;
}

UnitSearch::UnitSearch(MidiBackend backend, std::vector<std::string> inputs,
                       std::vector<std::string> outputs)
    : backend_(backend), inputs_(std::move(inputs)), outputs_(std::move(outputs)) {}

UnitSearch::~UnitSearch() {
    // The inlets' threads stop before the rest of the search goes.
    inlets_.clear();
    outlet_.reset();
}

bool UnitSearch::Step(int64_t nowMs) {
    switch (phase_) {
        case Phase::Listen:
            if (nextInput_ < inputs_.size()) {
                OpenNextInput();
                return true;
            }
            phase_ = Phase::Settle;
            phaseStartMs_ = nowMs;
            return true;
        case Phase::Settle:
            if (nowMs - phaseStartMs_ >= kSettleMs) AskNextOutput(nowMs);
            return !Done();
        case Phase::Ask:
            AskNextOutput(nowMs);
            return !Done();
        case Phase::Wait:
            break;
        case Phase::Done:
            return false;
    }
    if (!requestSent_) {
        // The output's connection is made; the request goes out one step after it.
        if (nowMs - phaseStartMs_ < kSettleMs / 2) return true;
        answeringFor_.store(asking_);
        SendRequest(nowMs);
        requestSent_ = true;
        phaseStartMs_ = nowMs;
        return true;
    }
    const int64_t waited = nowMs - phaseStartMs_;
    const bool unitHeard = UnitHeardFor(asking_);
    if (waited >= kAnswerWaitMs || (waited >= kAfterAnswerMs && unitHeard)) {
        outlet_->Close();
        phase_ = Phase::Ask;
    } else if (!unitHeard && nowMs - askedMs_ >= kAskAgainMs &&
               waited + kAskAgainMs <= kAnswerWaitMs) {
        SendRequest(nowMs);
    }
    return true;
}

void UnitSearch::SendRequest(int64_t nowMs) {
    const std::vector<uint8_t> request = *BuildDumpRequest(kAskedProgram);
    outlet_->SendMessage(request.data(), request.size());
    askedMs_ = nowMs;
}

void UnitSearch::OpenNextInput() {
    const size_t index = nextInput_++;
    MidiBackend backend = backend_;
    auto inlet = std::make_unique<MidiInlet>(backend, MidiLink::kInputClientName);
    if (!inlet->Exists()) return;
    const int port = PortIndex(*inlet, inputs_[index]);
    if (port < 0) return;
    inlet->SetHandler(
        [this, index](const uint8_t* bytes, size_t size) { OnMessage(index, bytes, size); });
    if (!inlet->Open(static_cast<unsigned>(port), MidiLink::kInputPortName)) {
        DebugPrint("the search could not listen on \"%s\": %s", inputs_[index].c_str(),
                   inlet->LastError().c_str());
        return;
    }
    inlets_.push_back(std::move(inlet));
}

void UnitSearch::AskNextOutput(int64_t nowMs) {
    answeringFor_.store(-1);
    while (++asking_ < static_cast<int>(outputs_.size())) {
        if (!outlet_) {
            MidiBackend backend = backend_;
            outlet_ = std::make_unique<MidiOutlet>(backend, MidiLink::kOutputClientName);
        }
        if (!outlet_->Exists()) break;
        const int port = PortIndex(*outlet_, outputs_[asking_]);
        if (port < 0 || !outlet_->Open(static_cast<unsigned>(port), MidiLink::kOutputPortName))
            continue;
        phase_ = Phase::Wait;
        requestSent_ = false;
        phaseStartMs_ = nowMs;
        return;
    }
    Finish();
}

void UnitSearch::OnMessage(size_t input, const uint8_t* bytes, size_t size) {
    const int asking = answeringFor_.load();
    if (asking < 0) return;
    const Reply reply = ClassifyReply(bytes, size);
    if (reply == Reply::Other) return;
    std::lock_guard<std::mutex> hold(heardLock_);
    heard_.push_back({input, asking, reply});
}

bool UnitSearch::UnitHeardFor(int output) {
    std::lock_guard<std::mutex> hold(heardLock_);
    return std::any_of(heard_.begin(), heard_.end(), [&](const Heard& heard) {
        return heard.asking == output && heard.reply == Reply::UnitDump;
    });
}

void UnitSearch::AddOnce(std::vector<Pair>& pairs, Pair pair) {
    if (std::find(pairs.begin(), pairs.end(), pair) == pairs.end())
        pairs.push_back(std::move(pair));
}

void UnitSearch::Finish() {
    answeringFor_.store(-1);
    // Stops every delivery: nothing is added to heard_ from here on.
    inlets_.clear();
    outlet_.reset();
    for (const Heard& heard : heard_) {
        Pair pair{outputs_[static_cast<size_t>(heard.asking)], inputs_[heard.input]};
        switch (heard.reply) {
            case Reply::UnitDump:
                AddOnce(units_, std::move(pair));
                break;
            case Reply::Echo:
                AddOnce(echoes_, std::move(pair));
                break;
            case Reply::DamagedDump:
                AddOnce(damaged_, std::move(pair));
                break;
            case Reply::Other:
                break;
        }
    }
    phase_ = Phase::Done;
}

std::string UnitSearch::Text() const {
    switch (phase_) {
        case Phase::Listen:
        case Phase::Settle:
            return "Searching... listening on every input";
        case Phase::Ask:
        case Phase::Wait:
            return "Searching... asking " + Quoted(outputs_[static_cast<size_t>(asking_)]);
        case Phase::Done:
            break;
    }
    std::string text;
    if (units_.empty()) {
        text =
            "No Orvo answered. Check that it is switched on and its MIDI cables are in, then "
            "search again.";
    } else if (units_.size() == 1) {
        text = "Found the Orvo: output " + Quoted(units_[0].output) + ", input " +
               Quoted(units_[0].input) + ".";
    } else {
        text = std::to_string(units_.size()) + " units answered; the first is selected: output " +
               Quoted(units_[0].output) + ", input " + Quoted(units_[0].input) + ".";
    }
    for (const Pair& echo : echoes_) {
        text += "\n" + Quoted(echo.input) + " sends back what " + Quoted(echo.output) +
                " gets: a loop or a MIDI thru, not an Orvo.";
    }
    for (const Pair& damaged : damaged_) {
        text += "\nA unit on " + Quoted(damaged.input) + " answered " + Quoted(damaged.output) +
                " with a damaged program dump.";
    }
    return text;
}
