#include "midi/VirtualOrvoPort.h"

#include <chrono>

#include "unit/ProgramFolder.h"
#include "util/DebugPrint.h"
#include "util/FileReader.h"
#include "util/FileWriter.h"

namespace {
// The folder and the parents it lacks; false when one of them could not be made.
bool MakeFolderWithParents(const std::string& folder, std::string* problem) {
    for (size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        if (!MakeFolder(folder.substr(0, slash), problem)) return false;
    }
    return MakeFolder(folder, problem);
}
}  // namespace

VirtualOrvoPort::VirtualOrvoPort(std::string folder) : folder_(std::move(folder)) {
    // Called from Feed and Poll, which run with lock_ held.
    unit_.SetReplySink(
        [this](const uint8_t* bytes, size_t size) { replies_.emplace_back(bytes, bytes + size); });
    std::string whyNot;
    if (!folder_.empty() && !IsFolder(folder_) && !MakeFolderWithParents(folder_, &whyNot)) {
        // The unit works all the same; what it stores is lost at the end of the session.
        DebugPrint("virtual Orvo: cannot create %s (%s)", folder_.c_str(), whyNot.c_str());
    }
    if (!folder_.empty() && IsFolder(folder_)) {
        std::vector<std::string> problems;
        LoadProgramFolder(folder_, unit_, &problems);
        for (const std::string& problem : problems)
            DebugPrint("virtual Orvo: %s not loaded: %s", folder_.c_str(), problem.c_str());
    }
    written_ = unit_.Programs();
    inputThread_ = std::thread(&VirtualOrvoPort::InputLoop, this);
}

VirtualOrvoPort::~VirtualOrvoPort() {
    CancelHandler();
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    inputThread_.join();
    std::unique_lock<std::mutex> hold(lock_);
    WriteChangedPrograms(hold);
}

void VirtualOrvoPort::SendMessage(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0) return;
    if (MidiTrafficQueue* traffic = traffic_.load()) {
        traffic->Put(MidiRole::Output, MidiTrafficQueue::Direction::Out, bytes, size);
    }
    {
        std::lock_guard<std::mutex> hold(lock_);
        unit_.Feed(bytes, size, MidiTrafficQueue::NowMs());
    }
    wake_.notify_one();
}

void VirtualOrvoPort::SendLongMessage(const uint8_t* bytes, size_t size,
                                      const SendProgress& progress) {
    SendInOneGo(bytes, size, progress);
}

void VirtualOrvoPort::SetHandler(Handler handler) {
    std::lock_guard<std::mutex> hold(deliveryLock_);
    handler_ = std::move(handler);
}

void VirtualOrvoPort::CancelHandler() {
    std::lock_guard<std::mutex> hold(deliveryLock_);
    handler_ = nullptr;
}

bool VirtualOrvoPort::HasHandler() {
    std::lock_guard<std::mutex> hold(deliveryLock_);
    return static_cast<bool>(handler_);
}

void VirtualOrvoPort::InputLoop() {
    std::unique_lock<std::mutex> hold(lock_);
    while (!stopping_) {
        unit_.Poll(MidiTrafficQueue::NowMs());
        if (!replies_.empty()) {
            DeliverWaiting(hold);
            continue;
        }
        if (unit_.Counters().programsStored != storedSeen_) {
            WriteChangedPrograms(hold);
            continue;
        }
        // Held-back replies (a reply delay, the flash erase of a firmware update) wake the
        // thread when they are due; a message to the unit wakes it at once.
        if (const std::optional<int64_t> due = unit_.NextReplyDueMs()) {
            const int64_t wait = *due - MidiTrafficQueue::NowMs();
            if (wait > 0) wake_.wait_for(hold, std::chrono::milliseconds(wait));
        } else {
            wake_.wait(hold);
        }
    }
}

void VirtualOrvoPort::DeliverWaiting(std::unique_lock<std::mutex>& hold) {
    std::deque<std::vector<uint8_t>> replies;
    replies.swap(replies_);
    hold.unlock();
    {
        // The handler may send to the unit again (a transfer asks for the next program), which
        // takes lock_: it is not held here.
        std::lock_guard<std::mutex> delivering(deliveryLock_);
        for (const std::vector<uint8_t>& reply : replies) {
            if (handler_) handler_(reply.data(), reply.size());
        }
    }
    hold.lock();
}

void VirtualOrvoPort::WriteChangedPrograms(std::unique_lock<std::mutex>& hold) {
    storedSeen_ = unit_.Counters().programsStored;
    if (folder_.empty()) return;
    const std::array<ProgramBlock, kLastProgramNumber> programs = unit_.Programs();
    std::array<ProgramBlock, kLastProgramNumber> written = written_;
    hold.unlock();
    bool failed = false;
    for (size_t i = 0; i < programs.size(); ++i) {
        if (programs[i] == written[i]) continue;
        if (SaveFolderProgram(folder_, static_cast<int>(i) + kFirstProgramNumber, programs[i])) {
            written[i] = programs[i];
        } else {
            failed = true;
        }
    }
    hold.lock();
    written_ = written;
    // Said once; the programs not written are tried again with the next one stored.
    if (failed && !writeFailed_)
        DebugPrint("virtual Orvo: could not write its programs to %s", folder_.c_str());
    writeFailed_ = failed;
}
