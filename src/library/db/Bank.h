#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "unit/ProgramSlots.h"
#include "unit/UnitMessages.h"

// A program for each of the unit's locations, or nothing where it is not known; index 0 is
// location 1.
using BankPrograms = std::array<std::optional<ProgramValues>, kLastProgramNumber>;

// One location of the unit's bank as the library sees it.
struct BankLocation {
    // What the unit holds there, from the last read or the last verified write, and when
    // (seconds since 1970); nothing when the library does not know.
    std::optional<ProgramValues> known;
    int64_t knownAt = 0;
    // What the user wants there; nothing leaves the location as the unit holds it.
    std::optional<ProgramValues> planned;

    // Whether a send has to write this location.
    bool Differs() const { return planned && (!known || *known != *planned); }
    // What the location will hold after a send: the planned program, or the known one.
    const std::optional<ProgramValues>& Intended() const { return planned ? planned : known; }
    bool operator==(const BankLocation&) const = default;
};

// The unit's 99 locations: what each holds and what the user has arranged for it. Every change
// of the arrangement can be taken back and done again.
class Bank {
public:
    static bool IsLocation(int location) { return IsProgramNumber(location); }

    const BankLocation& At(int location) const { return locations_[Index(location)]; }
    // What the unit is known to hold after a read or a verified write; the plan stays.
    void SetKnown(int location, const ProgramValues& program, int64_t at);
    // The library no longer knows what the unit holds there.
    void Forget(int location);
    // The locations a send has to write, in order.
    std::vector<int> DifferingLocations() const;
    BankPrograms Known() const;
    BankPrograms Planned() const;
    // What the bank will hold after a send, location by location.
    BankPrograms Intended() const;

    // --- Arranging (each one step of undo) ---
    // Puts programs into the locations from first on, one each, as far as location 99 goes.
    void Place(int first, const std::vector<ProgramValues>& programs);
    // Moves what the locations in from will hold to the locations from to on, in their order;
    // what those held goes to the locations left free, in their order, so nothing is lost. A
    // single location dragged onto another swaps the two. False when the run would go past 99.
    bool Move(std::vector<int> from, int to);
    // Replaces the whole plan (an imported bank, a snapshot to send back).
    void SetPlan(const BankPrograms& planned);
    // The plan a session starts from (as the library kept it): nothing to take back.
    void StartFrom(const BankPrograms& planned);
    // The plan is as the user last had it; nothing when there is nothing to take back or redo.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }

private:
    static size_t Index(int location) { return static_cast<size_t>(location - 1); }
    void Arrange(const BankPrograms& planned);
    void Apply(const BankPrograms& planned);

    std::array<BankLocation, kLastProgramNumber> locations_{};
    std::vector<BankPrograms> undo_;
    std::vector<BankPrograms> redo_;
};
