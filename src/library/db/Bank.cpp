#include "library/db/Bank.h"

#include <algorithm>

void Bank::SetKnown(int location, const ProgramValues& program, int64_t at) {
    if (!IsLocation(location)) return;
    BankLocation& slot = locations_[Index(location)];
    slot.known = program;
    slot.knownAt = at;
}

void Bank::Forget(int location) {
    if (!IsLocation(location)) return;
    locations_[Index(location)].known.reset();
    locations_[Index(location)].knownAt = 0;
}

std::vector<int> Bank::DifferingLocations() const {
    std::vector<int> differing;
    for (int location = kFirstProgramNumber; location <= kLastProgramNumber; ++location) {
        if (At(location).Differs()) differing.push_back(location);
    }
    return differing;
}

BankPrograms Bank::Known() const {
    BankPrograms programs;
    for (size_t i = 0; i < programs.size(); ++i)
        programs[i] = locations_[i].known;
    return programs;
}

BankPrograms Bank::Planned() const {
    BankPrograms programs;
    for (size_t i = 0; i < programs.size(); ++i)
        programs[i] = locations_[i].planned;
    return programs;
}

BankPrograms Bank::Intended() const {
    BankPrograms programs;
    for (size_t i = 0; i < programs.size(); ++i)
        programs[i] = locations_[i].Intended();
    return programs;
}

void Bank::Place(int first, const std::vector<ProgramValues>& programs) {
    if (!IsLocation(first) || programs.empty()) return;
    BankPrograms planned = Planned();
    for (size_t i = 0; i < programs.size() && IsLocation(first + static_cast<int>(i)); ++i)
        planned[Index(first) + i] = programs[i];
    Arrange(planned);
}

bool Bank::Move(std::vector<int> from, int to) {
    std::sort(from.begin(), from.end());
    from.erase(std::unique(from.begin(), from.end()), from.end());
    const int count = static_cast<int>(from.size());
    if (from.empty() || !IsLocation(from.front()) || !IsLocation(from.back()) || !IsLocation(to) ||
        !IsLocation(to + count - 1)) {
        return false;
    }
    const BankPrograms intended = Intended();
    BankPrograms planned = Planned();
    std::vector<int> targets, freed, displaced;
    for (int i = 0; i < count; ++i)
        targets.push_back(to + i);
    for (int location : from) {
        if (std::find(targets.begin(), targets.end(), location) == targets.end())
            freed.push_back(location);
    }
    for (int location : targets) {
        if (std::find(from.begin(), from.end(), location) == from.end())
            displaced.push_back(location);
    }
    for (int i = 0; i < count; ++i)
        planned[Index(targets[static_cast<size_t>(i)])] =
            intended[Index(from[static_cast<size_t>(i)])];
    for (size_t i = 0; i < freed.size(); ++i)
        planned[Index(freed[i])] = intended[Index(displaced[i])];
    Arrange(planned);
    return true;
}

void Bank::SetPlan(const BankPrograms& planned) {
    Arrange(planned);
}

void Bank::StartFrom(const BankPrograms& planned) {
    Apply(planned);
    undo_.clear();
    redo_.clear();
}

void Bank::Arrange(const BankPrograms& planned) {
    const BankPrograms before = Planned();
    if (before == planned) return;
    undo_.push_back(before);
    redo_.clear();
    Apply(planned);
}

void Bank::Apply(const BankPrograms& planned) {
    for (size_t i = 0; i < planned.size(); ++i)
        locations_[i].planned = planned[i];
}

bool Bank::Undo() {
    if (undo_.empty()) return false;
    redo_.push_back(Planned());
    Apply(undo_.back());
    undo_.pop_back();
    return true;
}

bool Bank::Redo() {
    if (redo_.empty()) return false;
    undo_.push_back(Planned());
    Apply(redo_.back());
    redo_.pop_back();
    return true;
}
