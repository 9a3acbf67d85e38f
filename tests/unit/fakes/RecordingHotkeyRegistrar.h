// Hotkey service for unit tests: records every call, refuses a combination that is
// active already (under any id) or that another program was told to hold.
#pragma once

#include <algorithm>
#include <vector>

#include "hotkeys/HotkeyRegistrar.h"

class RecordingHotkeyRegistrar : public HotkeyRegistrar {
 public:
  struct Combination {
    unsigned modifiers = 0;
    unsigned virtualKey = 0;
    bool operator==(const Combination&) const = default;
  };
  struct Registration {
    int id = 0;
    Combination combination;
    bool operator==(const Registration&) const = default;
  };
  struct Call {
    enum class Kind { Register, Unregister } kind = Kind::Register;
    int id = 0;
    Combination combination;  // Register only
    bool succeeded = false;   // Register only
    bool operator==(const Call&) const = default;
  };

  bool Register(int id, unsigned modifiers, unsigned virtualKey) override {
    const Combination combination{modifiers, virtualKey};
    const bool ok = !IsTaken(combination);
    calls_.push_back({Call::Kind::Register, id, combination, ok});
    if (ok) active_.push_back({id, combination});
    return ok;
  }

  // Like UnregisterHotKey: releases the first active registration with this id.
  void Unregister(int id) override {
    calls_.push_back({Call::Kind::Unregister, id, {}, false});
    const auto it = std::find_if(active_.begin(), active_.end(),
                                 [id](const Registration& r) { return r.id == id; });
    if (it != active_.end()) active_.erase(it);
  }

  void HoldByOtherProgram(unsigned modifiers, unsigned virtualKey) {
    heldElsewhere_.push_back({modifiers, virtualKey});
  }

  bool IsTaken(const Combination& combination) const {
    return std::find(heldElsewhere_.begin(), heldElsewhere_.end(), combination) !=
               heldElsewhere_.end() ||
           std::any_of(active_.begin(), active_.end(), [&](const Registration& r) {
             return r.combination == combination;
           });
  }

  const std::vector<Registration>& active() const { return active_; }
  const std::vector<Call>& calls() const { return calls_; }

 private:
  std::vector<Registration> active_;
  std::vector<Combination> heldElsewhere_;
  std::vector<Call> calls_;
};
