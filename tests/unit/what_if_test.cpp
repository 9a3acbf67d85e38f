// "/whatif" tells what the run will do: on every machine file, each selector a user could
// type there asks, withheld, for the very devices and cards the run ejects, and ends with
// the run's exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "commandline/CommandLineListing.h"
#include "commandline/CommandLineRemoval.h"
#include "commandline/CommandLineRequest.h"
#include "commandline/WithheldMediaDrives.h"
#include "devices/EveryKindRemoval.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/MachineFiles.h"
#include "fakes/MachineLetters.h"
#include "fakes/TreeDrives.h"
#include "settings/SettingsRecord.h"

namespace {

using namespace winvalues;

class NoPreparation final : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

// A machine file the table does not know is taken for Windows 10 with the kinds the
// command line sweeps.
struct Machine {
  unsigned major = 10;
  std::uint32_t kinds = kCommandLineDeviceKind;
  std::vector<MachineLetter> letters;
};

Machine MachineOf(const std::string& file) {
  Machine machine;
  if (file.find("-xp-") != std::string::npos) machine.major = 5;
  // A PC Card network adapter is that laptop's card.
  if (file == "windows-xp-laptop-en.tree") machine.kinds |= kKindNet;
  if (const auto known = kMachineLetters.find(file); known != kMachineLetters.end())
    machine.letters = known->second;
  return machine;
}

std::wstring LabelOf(wchar_t letter) { return std::wstring(L"VOL_") + letter; }

// The machine as a run finds it: each removable drive holds its card but `emptySlot`, and
// each volume carries a label of its own.
struct Fixture {
  Fixture(const std::string& text, const Machine& machine, wchar_t emptySlot)
      : tree(text), drives(tree, MachineDrives(tree, machine.letters)) {
    for (const MachineLetter& l : machine.letters) {
      if (!l.volume.empty()) drives.volumeLabels[l.letter] = LabelOf(l.letter);
      if (l.type == kDriveRemovable) drives.media[l.letter];
    }
    if (emptySlot != 0) drives.media[emptySlot].open = kErrorNotReady;
  }
  FakeDeviceTree tree;
  TreeDrives drives;
};

struct Outcome {
  std::set<std::wstring> gone;  // each instance ID asked to eject, and "E:" for each card
  int status = 1;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& outcome, std::ostream* os) {
  *os << testing::PrintToString(outcome.gone) << ", status " << outcome.status;
}

// The request composed as the program composes it: "/whatif" withholds every request
// and every medium.
Outcome RunRequest(const std::string& text, const Machine& machine, const RemovalRequest& request,
                   wchar_t emptySlot) {
  Fixture m(text, machine, emptySlot);
  EjectRecordingTree tree(m.tree, request.whatIf ? EjectRecordingTree::Requests::Withhold
                                                 : EjectRecordingTree::Requests::Ask);
  WithheldMediaDrives withheld(m.drives);
  Drives& drives = request.whatIf ? static_cast<Drives&>(withheld) : m.drives;
  NoPreparation none;
  EveryKindRemoval removal(tree, drives, machine.kinds, SystemNamesFor(machine.major), none);
  Outcome outcome;
  outcome.status = RemoveRequested(request, removal, tree, drives).status;

  FakeDeviceTree before(text);  // an ejected node has left the tree, and its ID with it
  const auto asked = [&](DevNode node) {
    std::wstring id;
    before.simulated().DeviceId(node, id);
    outcome.gone.insert(id);
  };
  if (request.whatIf) {
    for (const EjectAnswer& answer : tree.Answers()) asked(answer.node);
    for (const wchar_t letter : withheld.Withheld()) outcome.gone.insert({letter, L':'});
  } else {
    for (const FakeDeviceTree::Eject& eject : m.tree.ejects()) asked(eject.node);
    for (const auto& [letter, script] : m.drives.media)
      if (std::count(script.asked.begin(), script.asked.end(), "eject") != 0)
        outcome.gone.insert({letter, L':'});
  }
  return outcome;
}

struct Selector {
  std::vector<std::wstring> arguments;
  wchar_t emptySlot = 0;
};

// Each name "/list" prints, two patterns of it, each drive, each label, each card.
std::vector<Selector> SelectorsOf(const std::string& text, const Machine& machine) {
  Fixture m(text, machine, 0);
  std::vector<Selector> selectors;
  for (const std::wstring& name :
       CommandLineNames(m.tree, SystemNamesFor(machine.major), machine.kinds, &m.drives)) {
    std::wstring one = name;
    one[1] = L'?';
    selectors.push_back({{name}});
    selectors.push_back({{name.substr(0, 4) + L"*"}});
    selectors.push_back({{one}});
  }
  for (const MachineLetter& l : machine.letters) {
    const std::wstring drive = {l.letter, L':'};
    selectors.push_back({{drive}});
    if (!l.volume.empty()) selectors.push_back({{L"/label:" + LabelOf(l.letter)}});
    if (l.type == kDriveRemovable)
      for (const wchar_t empty : {wchar_t{0}, l.letter})
        selectors.push_back({{L"/card", drive}, empty});
  }
  return selectors;
}

TEST(WhatIf, EverySelectorOfEveryMachineWouldRemoveWhatItsRunRemoves) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(TOLLEVANE_MACHINES_DIR))
    if (entry.path().extension() == ".tree") files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 5u);
  for (const std::string& file : files) {
    const std::string text = MachineText(file);
    const Machine machine = MachineOf(file);
    bool removedSome = false;
    unsigned rows = 0;
    for (const Selector& s : SelectorsOf(text, machine)) {
      std::vector<std::wstring> typed = s.arguments;
      typed.push_back(L"/whatif");
      const ParsedCommandLine run = ParseRemovalCommandLine(s.arguments);
      const ParsedCommandLine whatIf = ParseRemovalCommandLine(typed);
      const std::string row = file + " " + testing::PrintToString(s.arguments) +
                              (s.emptySlot != 0 ? " (its slot empty)" : "");
      ASSERT_FALSE(run.problem || whatIf.problem) << row;
      const Outcome ran = RunRequest(text, machine, run.request, s.emptySlot);
      EXPECT_EQ(RunRequest(text, machine, whatIf.request, s.emptySlot), ran) << row;
      removedSome = removedSome || !ran.gone.empty();
      ++rows;
    }
    RecordProperty(file, static_cast<int>(rows));
    EXPECT_TRUE(removedSome) << file << ": no selector removed anything";
  }
}

}  // namespace
