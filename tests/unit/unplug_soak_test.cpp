// Devices unplugged while the program walks the tree: on every machine file, each way a
// user lists or removes (a name, a pattern, a drive, a label, a card, the eject menu, the
// all-storage key) is run again with a device vanishing at each call of its walk. None may
// crash, ask for a device its selector did not take when nothing vanished, or end without
// a status scripts know and a reason. Seeded (TOLLEVANE_SOAK_SEED) and bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "commandline/CommandLineListing.h"
#include "commandline/CommandLineRemoval.h"
#include "commandline/CommandLineRequest.h"
#include "devices/DeviceEnumeration.h"
#include "devices/EveryKindRemoval.h"
#include "devices/UsbStoragePresence.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/MachineFiles.h"
#include "fakes/MachineLetters.h"
#include "fakes/TreeDrives.h"
#include "pnp/DeviceNames.h"
#include "resident/EjectMenu.h"
#include "settings/RegistrationStore.h"
#include "settings/SettingsRecord.h"

namespace {

using namespace winvalues;

class NoPreparation final : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

std::wstring LabelOf(wchar_t letter) { return std::wstring(L"VOL_") + letter; }

struct Machine {
  std::string file;
  std::shared_ptr<const FakeDeviceTree> tree;  // read once, copied for each walk
  std::map<wchar_t, TreeDrives::Drive> drives;
  SystemNames names;
  std::uint32_t kinds = kCommandLineDeviceKind;
  std::vector<MachineLetter> letters;
};

// A machine as a run finds it: every removable drive holds its card, every volume a label.
// Withheld requests answer success and take nothing, so that every match is asked.
struct Plugged {
  explicit Plugged(const Machine& m, EjectRecordingTree::Requests requests = EjectRecordingTree::Requests::Ask)
      : tree(*m.tree), recorded(tree, requests), drives(tree, m.drives) {
    for (const MachineLetter& l : m.letters) {
      if (!l.volume.empty()) drives.volumeLabels[l.letter] = LabelOf(l.letter);
      if (l.type == kDriveRemovable) drives.media[l.letter];
    }
  }
  FakeDeviceTree tree;
  EjectRecordingTree recorded;
  TreeDrives drives;
};

// What a road did: the nodes it asked to eject, and the cards ("E:") or names it showed.
struct Done {
  std::set<DevNode> asked;
  std::set<std::wstring> shown;
  std::optional<int> status;  // the command line's exit status
  bool told = true;           // a failed command line said why
};


void TakeRequests(Plugged& run, Done& done) {
  for (const EjectAnswer& answer : run.recorded.Answers()) done.asked.insert(answer.node);
  for (const auto& [letter, script] : run.drives.media)
    if (std::count(script.asked.begin(), script.asked.end(), "eject") != 0)
      done.shown.insert({letter, L':'});
}

using Road = std::function<Done(const Machine&, Plugged&)>;

Road CommandLine(std::vector<std::wstring> arguments) {
  return [arguments](const Machine& m, Plugged& run) {
    const ParsedCommandLine parsed = ParseRemovalCommandLine(arguments);
    NoPreparation none;
    EveryKindRemoval removal(run.recorded, run.drives, m.kinds, m.names, none);
    const RequestResult result = RemoveRequested(parsed.request, removal, run.recorded, run.drives);
    Done done;
    TakeRequests(run, done);
    done.status = result.status;
    // Said why, and of something the user knows: a device gone meanwhile has no name.
    done.told = (result.status == 0 || result.reason.has_value() || !removal.Vetoes().empty()) &&
                (!result.reason || result.reason->argument != std::wstring(kUnknownDevice) ||
                 parsed.request.value == kUnknownDevice);
    return done;
  };
}

// The hotkey road, which the eject menu's items and the all-storage key take.
Road Hotkey(std::wstring name, bool counted) {
  return [name, counted](const Machine& m, Plugged& run) {
    NoPreparation none;
    EveryKindRemoval removal(run.recorded, run.drives, m.kinds, m.names, none);
    tag_device_hotkey_info record;
    const bool found = removal.RemoveByName(name, counted ? &record : nullptr, RemovalStartedBy::Hotkey);
    Done done;
    TakeRequests(run, done);
    // The worker reports by the found flag and stores the count: both must agree with
    // what the system answered.
    const RemovalTally tally = removal.Tally();
    done.told = found == (tally.successes > 0) &&
                (!counted || record.reject_times == static_cast<std::int32_t>(tally.successes));
    return done;
  };
}

Road Listing() {
  return [](const Machine& m, Plugged& run) {
    Done done;
    for (const std::wstring& name : CommandLineNames(run.tree, m.names, m.kinds, &run.drives))
      done.shown.insert(name);
    return done;
  };
}

std::vector<EjectMenuItem> MenuOf(const Machine& m, Plugged& run) {
  OfferedDevices offered(m.names);
  DeviceEnumeration(run.tree, m.kinds, m.names, nullptr, offered)
      .ListStorageFrom(&run.drives)
      .EnumerateDevices(false);
  const bool storage = UsbMassStoragePresent(run.tree, m.names);
  std::vector<LabelledDrive> drives;
  ReadLabelledDrives(run.tree, run.drives, [&](const std::vector<LabelledDrive>& read) { drives = read; });
  const std::vector<tag_device_hotkey_info> table;
  return BuildEjectMenu({table, offered, storage, drives}, m.names);
}

Road Menu() {
  return [](const Machine& m, Plugged& run) {
    Done done;
    // The texts change with the drives read; what an item removes does not.
    for (const EjectMenuItem& item : MenuOf(m, run)) done.shown.insert(item.choice.name);
    return done;
  };
}

struct Case {
  std::string what;
  Road road;
};

std::vector<Case> CasesOf(const Machine& m) {
  std::vector<Case> cases = {{"/list", Listing()}, {"the eject menu", Menu()},
                             {"the all-storage key", Hotkey(m.names.storageDesc, true)},
                             // What the system's calls would name a device that is gone.
                             {"name \"Unknown Device\"", CommandLine({L"Unknown Device"})}};
  Plugged run(m);
  for (const std::wstring& name : CommandLineNames(run.tree, m.names, m.kinds, &run.drives)) {
    const std::string shown = testing::PrintToString(name);
    cases.push_back({"name " + shown, CommandLine({name})});
    cases.push_back({"pattern of " + shown, CommandLine({name.substr(0, 4) + L"*"})});
  }
  for (const EjectMenuItem& item : MenuOf(m, run))
    cases.push_back({"menu item " + testing::PrintToString(item.choice.name), Hotkey(item.choice.name, false)});
  for (const MachineLetter& l : m.letters) {
    const std::wstring drive = {l.letter, L':'};
    cases.push_back({"drive " + testing::PrintToString(drive), CommandLine({drive})});
    if (!l.volume.empty())
      cases.push_back({"label of " + testing::PrintToString(drive), CommandLine({L"/label:" + LabelOf(l.letter)})});
    if (l.type == kDriveRemovable)
      cases.push_back({"card of " + testing::PrintToString(drive), CommandLine({L"/card", drive})});
  }
  return cases;
}

std::vector<Machine> Machines() {
  std::vector<Machine> machines;
  for (const auto& entry : std::filesystem::directory_iterator(TOLLEVANE_MACHINES_DIR)) {
    if (entry.path().extension() != ".tree") continue;
    Machine m;
    m.file = entry.path().filename().string();
    auto tree = std::make_shared<FakeDeviceTree>(MachineText(m.file));
    m.names = SystemNamesFor(m.file.find("-xp-") != std::string::npos ? 5 : 10);
    if (m.file == "windows-xp-laptop-en.tree") m.kinds |= kKindNet;  // its PC Card adapter
    if (const auto known = kMachineLetters.find(m.file); known != kMachineLetters.end())
      m.letters = known->second;
    m.drives = MachineDrives(*tree, m.letters);
    m.tree = std::move(tree);
    machines.push_back(std::move(m));
  }
  std::sort(machines.begin(), machines.end(), [](const Machine& a, const Machine& b) { return a.file < b.file; });
  return machines;
}

// The node that goes: one the run asked for, its parent or first child (a device and its
// disk), or any node of the machine.
DevNode ChosenNode(Plugged& fresh, const std::set<DevNode>& asked, std::mt19937& random) {
  std::vector<DevNode> near;
  for (const DevNode node : asked) {
    near.push_back(node);
    DevNode other = 0;
    if (fresh.tree.simulated().GetParent(other, node) == kCrSuccess && other != 0) near.push_back(other);
    if (fresh.tree.simulated().GetChild(other, node) == kCrSuccess) near.push_back(other);
  }
  const std::vector<DevNode> all = fresh.tree.simulated().PresentNodes();
  const std::vector<DevNode>& from = near.empty() || random() % 3 == 0 ? all : near;
  return from[random() % from.size()];
}

// Every call of a short walk; of a long one, one call in each of kFaultSlices stretches,
// so that each part of the walk is hit and the seed picks where.
constexpr std::size_t kFaultSlices = 16;

std::vector<std::size_t> FaultPoints(std::size_t calls, std::mt19937& random) {
  std::vector<std::size_t> points;
  const std::size_t count = calls + 1;
  for (std::size_t i = 0; i < std::min(count, kFaultSlices); ++i) {
    const std::size_t from = count <= kFaultSlices ? i : i * count / kFaultSlices;
    const std::size_t to = count <= kFaultSlices ? i + 1 : (i + 1) * count / kFaultSlices;
    points.push_back(from + random() % (to - from));
  }
  return points;
}

unsigned SoakSeed() {
  const char* given = std::getenv("TOLLEVANE_SOAK_SEED");
  return given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : 20240611u;
}

TEST(UnplugSoak, EveryRoadOfEveryMachineSurvivesADeviceVanishingAtAnyCall) {
  const unsigned seed = SoakSeed();
  SCOPED_TRACE("TOLLEVANE_SOAK_SEED=" + std::to_string(seed));
  std::mt19937 random(seed);
  const std::vector<Machine> machines = Machines();
  ASSERT_GE(machines.size(), 5u);
  std::size_t walks = 0;
  for (const Machine& m : machines) {
    for (const Case& c : CasesOf(m)) {
      SCOPED_TRACE(m.file + ", " + c.what);
      Plugged plugged(m);
      const std::size_t start = plugged.tree.simulated().CountedCalls();
      const Done clean = c.road(m, plugged);
      const std::size_t calls = plugged.tree.simulated().CountedCalls() - start;
      Plugged withheld(m, EjectRecordingTree::Requests::Withhold);
      const Done everyMatch = c.road(m, withheld);
      // A walk may see the tree as it was or as it is once the node is gone, never more.
      std::map<DevNode, Done> goneFromStart;
      for (const std::size_t k : FaultPoints(calls, random)) {
        Plugged run(m);
        const DevNode gone = ChosenNode(run, everyMatch.asked, random);
        SCOPED_TRACE("node " + std::to_string(gone) + " gone after call " + std::to_string(k));
        if (!goneFromStart.contains(gone)) {
          Plugged without(m, EjectRecordingTree::Requests::Withhold);
          without.tree.simulated().VanishAfter(0, {gone});
          goneFromStart[gone] = c.road(m, without);
        }
        Done allowed = goneFromStart[gone];
        for (const Done* also : {&clean, &everyMatch}) {
          allowed.asked.insert(also->asked.begin(), also->asked.end());
          allowed.shown.insert(also->shown.begin(), also->shown.end());
        }
        run.tree.simulated().VanishAfter(k, {gone});
        Done done;
        try {
          done = c.road(m, run);
        } catch (const std::exception& e) {
          ADD_FAILURE() << "threw " << e.what();
          break;
        }
        ++walks;
        std::vector<DevNode> unasked;
        std::set_difference(done.asked.begin(), done.asked.end(), allowed.asked.begin(), allowed.asked.end(),
                            std::back_inserter(unasked));
        std::vector<std::wstring> unshown;
        std::set_difference(done.shown.begin(), done.shown.end(), allowed.shown.begin(), allowed.shown.end(),
                            std::back_inserter(unshown));
        const bool known = !done.status || (*done.status >= 0 && *done.status <= 2);
        if (!unasked.empty() || !unshown.empty() || !known || !done.told) {
          ADD_FAILURE() << "beyond the tree before and after: asked " << testing::PrintToString(unasked)
                        << ", showed " << testing::PrintToString(unshown) << "; status "
                        << done.status.value_or(-1) << (done.told ? "" : ", untold") << "; requests "
                        << testing::PrintToString(run.tree.EjectedLines());
          break;  // one report a case
        }
      }
    }
  }
  RecordProperty("walks", static_cast<int>(walks));
  EXPECT_GT(walks, 1000u);
}

}  // namespace
