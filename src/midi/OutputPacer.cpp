#include "midi/OutputPacer.h"

#include <algorithm>

#include "unit/ParamChange.h"
#include "unit/UnitParameters.h"

namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kRpnLsb = 100;
constexpr uint8_t kRpnMsb = 101;
// What a change or an address weighs in the queue: at most three control changes.
constexpr size_t kChangeWeight = 9;

// The unit switches its effect overlay on "EFFECT Type" and applies a bulk change at the
// bracket's closing value: changes on either side of them belong to different settings.
bool IsOrderedAddress(int msb, int lsb) {
    for (int position : {kEffectTypePosition, kUpdateBracketPosition}) {
        const UnitParameter* parameter = UnitParameterAt(position);
        if (parameter && parameter->addressMsb == msb && parameter->addressLsb == lsb) return true;
    }
    return false;
}

bool IsEffectType(int msb, int lsb) {
    const UnitParameter* parameter = UnitParameterAt(kEffectTypePosition);
    return parameter && parameter->addressMsb == msb && parameter->addressLsb == lsb;
}

void AddControlChange(std::vector<uint8_t>& bytes, uint8_t channel, uint8_t controller, int value) {
    bytes.insert(bytes.end(), {static_cast<uint8_t>(kControlChange | channel), controller,
                               static_cast<uint8_t>(value & 0x7F)});
}

}  // namespace

uint64_t OutputPacer::Put(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0) return 0;
    if (pendingBytes_ + std::max(size, kChangeWeight) > kMostPendingBytes) return 0;
    if (size == 3 && (bytes[0] & 0xF0) == kControlChange && bytes[2] < 0x80) {
        const uint8_t channel = bytes[0] & 0x0F;
        switch (bytes[1]) {
            case kControllerNrpnMsb:
            case kControllerNrpnLsb:
                return PutAddressByte(channel, bytes[1], bytes[2]);
            case kControllerDataEntry:
                return PutDataEntry(channel, bytes[2], bytes);
            case kRpnMsb:
            case kRpnLsb:
                return PutRaw(bytes, size, true);
            default:
                break;
        }
    }
    return PutRaw(bytes, size, false);
}

OutputPacer::Item& OutputPacer::NewItem(Kind kind, size_t weight) {
    Item& item = queue_.emplace_back();
    item.kind = kind;
    item.ticket = ++lastTicket_;
    pendingBytes_ += weight;
    return item;
}

OutputPacer::Item* OutputPacer::OpenAddress(uint8_t channel) {
    if (queue_.empty()) return nullptr;
    Item& tail = queue_.back();
    if (tail.kind != Kind::Address || tail.started || tail.channel != channel) return nullptr;
    return &tail;
}

uint64_t OutputPacer::PutAddressByte(uint8_t channel, uint8_t controller, uint8_t value) {
    Item* item = OpenAddress(channel);
    if (item == nullptr) {
        item = &NewItem(Kind::Address, kChangeWeight);
        item->channel = channel;
    }
    if (controller == kControllerNrpnMsb) {
        queuedMsb_[channel] = value;
        item->withMsb = true;
    } else {
        queuedLsb_[channel] = value;
        item->withLsb = true;
    }
    item->msb = queuedMsb_[channel];
    item->lsb = queuedLsb_[channel];
    return item->ticket;
}

uint64_t OutputPacer::PutDataEntry(uint8_t channel, uint8_t value, const uint8_t* bytes) {
    const int msb = queuedMsb_[channel], lsb = queuedLsb_[channel];
    // A value for an address nobody set goes as it came.
    if (msb < 0 || lsb < 0) return PutRaw(bytes, 3, false);
    Item* item = OpenAddress(channel);
    if (item == nullptr) {
        item = &NewItem(Kind::Change, kChangeWeight);
        item->channel = channel;
    }
    item->kind = Kind::Change;
    item->msb = msb;
    item->lsb = lsb;
    item->value = value;
    item->barrier = IsOrderedAddress(msb, lsb);
    const uint64_t ticket = item->ticket;
    MergeTail();
    return ticket;
}

uint64_t OutputPacer::PutRaw(const uint8_t* bytes, size_t size, bool forgetsAddress) {
    Item& item = NewItem(Kind::Raw, size);
    item.bytes.assign(bytes, bytes + size);
    item.barrier = true;
    item.forgetsAddress = forgetsAddress;
    if (forgetsAddress) {
        const uint8_t channel = bytes[0] & 0x0F;
        queuedMsb_[channel] = queuedLsb_[channel] = -1;
    }
    return item.ticket;
}

void OutputPacer::MergeTail() {
    const Item& tail = queue_.back();
    if (tail.kind != Kind::Change || tail.barrier) return;
    for (auto earlier = queue_.rbegin() + 1; earlier != queue_.rend(); ++earlier) {
        if (earlier->barrier) return;
        if (earlier->kind != Kind::Change || earlier->started) continue;
        if (earlier->channel != tail.channel || earlier->msb != tail.msb ||
            earlier->lsb != tail.lsb) {
            continue;
        }
        earlier->value = tail.value;
        earlier->withMsb = earlier->withMsb || tail.withMsb;
        earlier->withLsb = earlier->withLsb || tail.withLsb;
        pendingBytes_ -= Weight(tail);
        queue_.pop_back();
        return;
    }
}

void OutputPacer::Begin(Item& item) {
    item.started = true;
    if (item.kind == Kind::Raw) {
        if (item.forgetsAddress) {
            const uint8_t channel = item.bytes[0] & 0x0F;
            wireMsb_[channel] = wireLsb_[channel] = -1;
        }
        return;
    }
    const uint8_t ch = item.channel;
    // What the sender gave goes out; what merging took away from before this change is added.
    const bool msbWrong = wireMsb_[ch] != item.msb;
    const bool sendMsb = item.withMsb || (item.kind == Kind::Change && msbWrong);
    const bool sendLsb =
        item.withLsb || (item.kind == Kind::Change && (msbWrong || wireLsb_[ch] != item.lsb));
    if (sendMsb) AddControlChange(item.bytes, ch, kControllerNrpnMsb, item.msb);
    if (sendLsb) AddControlChange(item.bytes, ch, kControllerNrpnLsb, item.lsb);
    if (item.kind == Kind::Change)
        AddControlChange(item.bytes, ch, kControllerDataEntry, item.value);
    if (sendMsb) wireMsb_[ch] = item.msb;
    if (sendLsb) wireLsb_[ch] = item.lsb;
    // After "EFFECT Type" the unit wants the MSB again.
    if (item.kind == Kind::Change && IsEffectType(item.msb, item.lsb)) wireMsb_[ch] = -1;
}

size_t OutputPacer::StepOf(const Item& item) const {
    if (item.kind != Kind::Raw) return 3;
    if (item.bytes.front() == kSysExStart) return std::max<size_t>(pacing_.chunkBytes, 1);
    return item.bytes.size();
}

size_t OutputPacer::Weight(const Item& item) {
    return item.kind == Kind::Raw ? item.bytes.size() - item.offset : kChangeWeight;
}

std::optional<OutputPacer::Piece> OutputPacer::Take(TimePoint now) {
    if (queue_.empty() || now < nextDue_) return std::nullopt;
    Item& item = queue_.front();
    const size_t weightBefore = Weight(item);
    if (!item.started) Begin(item);
    const size_t size = std::min(StepOf(item), item.bytes.size() - item.offset);
    Piece piece;
    piece.bytes.assign(item.bytes.begin() + static_cast<long>(item.offset),
                       item.bytes.begin() + static_cast<long>(item.offset + size));
    item.offset += size;
    piece.ticket = item.ticket;
    piece.handed = item.offset;
    piece.total = item.bytes.size();
    const bool longMessage = item.kind == Kind::Raw && item.bytes.size() > StepOf(item);
    if (item.offset == item.bytes.size()) {
        pendingBytes_ -= weightBefore;
        queue_.pop_front();
    } else if (item.kind == Kind::Raw) {
        pendingBytes_ -= size;
    }
    if (pacing_.bytesPerSecond > 0) {
        nextDue_ = std::max(nextDue_, now) + TimeFor(size);
    } else {
        nextDue_ = longMessage ? now + pacing_.pauseAfterChunk : now;
    }
    return piece;
}

std::optional<OutputPacer::TimePoint> OutputPacer::NextDue() const {
    if (queue_.empty()) return std::nullopt;
    return nextDue_;
}

void OutputPacer::Cancel(uint64_t ticket) {
    for (auto item = queue_.begin(); item != queue_.end(); ++item) {
        if (item->ticket != ticket) continue;
        const bool begunSysEx = item->started && item->kind == Kind::Raw &&
                                item->bytes.front() == kSysExStart && item->offset > 0;
        if (!begunSysEx) {
            pendingBytes_ -= Weight(*item);
            queue_.erase(item);
            return;
        }
        pendingBytes_ -= Weight(*item) - 1;
        item->bytes.resize(item->offset);
        item->bytes.push_back(kSysExEnd);
        return;
    }
}

void OutputPacer::Drop(uint64_t ticket) {
    for (auto item = queue_.begin(); item != queue_.end(); ++item) {
        if (item->ticket != ticket) continue;
        pendingBytes_ -= Weight(*item);
        queue_.erase(item);
        return;
    }
}

void OutputPacer::Clear() {
    queue_.clear();
    pendingBytes_ = 0;
    queuedMsb_ = queuedLsb_ = wireMsb_ = wireLsb_ = Unknown();
}

bool OutputPacer::Holds(uint64_t ticket) const {
    return std::any_of(queue_.begin(), queue_.end(),
                       [ticket](const Item& item) { return item.ticket == ticket; });
}

std::chrono::microseconds OutputPacer::TimeFor(size_t size) const {
    if (pacing_.bytesPerSecond == 0) return std::chrono::microseconds(0);
    // Rounded up, so that the pace is never exceeded.
    const uint64_t micros = (static_cast<uint64_t>(size) * 1000000u + pacing_.bytesPerSecond - 1) /
                            pacing_.bytesPerSecond;
    return std::chrono::microseconds(micros);
}
