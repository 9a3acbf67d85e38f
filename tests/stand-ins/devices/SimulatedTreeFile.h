// The simulated device tree's file: a UTF-8 text with one node per line, indented by two
// spaces per level, and its reading into nodes.
//
//   # comment
//   <class> [desc="..."] [friendly="..."] [pdo="..."] [removable] [disableable]
//           [problem] [eject=ok|fail|veto] [delay=MS] [stay]
//           [id="..."] [service="..."] [hwids="a;b"] [compat="a;b"] [removes="id;id"]
//           [disk=N] [cdrom=N] [vetoer="<NT path>" vetoer-pid=N [vetoer-live]]
//           [surprise-ok] [eject-supported] [policy=none|orderly|surprise]
//           [address=N] [location="..."]
//
// pdo is the node's physical device object name (\Device\HarddiskVolume3, say). id is
// its device instance ID (a node without one gets an ID of the stand-in's own); hwids
// and compat are its hardware and compatible IDs; removes lists the instance IDs of its
// removal relations. disk and cdrom give the node a disk or CD-ROM device interface whose
// path opens the system's \\.\PhysicalDriveN or \\.\CdRomN, so that the storage calls
// on it answer with device number N. vetoer names a program that holds the node open:
// every eject request of it or of a node above it is vetoed (PNP_VetoOutstandingOpen,
// naming this node's instance ID), and the System log gets an event 225 for it;
// vetoer-live: vetoer-pid is a process of the machine, which holds the node until it ends.
// surprise-ok and eject-supported are the driver's and the bus's capabilities of that
// name; policy overrides the removal policy the system would derive (SimulatedNodeState.h);
// address and location are the bus's CM_DRP_ADDRESS and CM_DRP_LOCATION_INFORMATION,
// which no node has unless the file gives them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pnp/DeviceTree.h"

enum class SimulatedEject { Ok, Fail, Veto };

struct SimulatedNode {
  int line = 0;   // in the file, from 1; 0 for the root, which the file does not name
  int depth = 0;  // 0 for the file's outermost nodes; the root is -1
  std::string classWord;
  std::optional<std::wstring> desc;  // missing: the property cannot be read
  std::optional<std::wstring> friendly;
  std::optional<std::wstring> pdo;
  std::optional<std::wstring> id;
  std::optional<std::wstring> service;
  std::vector<std::wstring> hwids;
  std::vector<std::wstring> compat;
  std::vector<std::wstring> removes;
  std::optional<std::uint32_t> disk;
  std::optional<std::uint32_t> cdrom;
  std::optional<std::wstring> vetoer;  // the NT path of the program that holds the node
  std::optional<std::uint32_t> vetoerPid;
  std::optional<std::uint32_t> removalPolicy;  // CM_REMOVAL_POLICY_*; nothing: derived
  std::optional<std::uint32_t> address;
  std::optional<std::wstring> location;
  bool vetoerLive = false;
  bool removable = false;
  bool disableable = false;
  bool problem = false;
  bool stay = false;  // still there after a successful eject
  bool surpriseOk = false;
  bool ejectSupported = false;
  SimulatedEject eject = SimulatedEject::Ok;
  std::uint32_t delayMs = 0;
  int parent = -1;  // node indices; -1 for none
  int firstChild = -1;
  int nextSibling = -1;
};

// nodes[0] is the root; the file's nodes follow in file order, so the nodes below any
// node are the ones right after it that lie deeper.
struct SimulatedTree {
  std::vector<SimulatedNode> nodes;
};

struct SimulatedTreeFault {
  int line = 0;  // 0 when the fault is not on a line
  std::string message;
};

struct SimulatedTreeParse {
  SimulatedTree tree;  // only the root when there is a fault
  std::optional<SimulatedTreeFault> fault;
};

// Deeper nesting than this is refused: no real device tree comes near it, and the walks
// recurse once per level.
inline constexpr int kMaxSimulatedDepth = 64;

// Delays beyond an hour are refused rather than left to hang a removal.
inline constexpr std::uint32_t kMaxSimulatedDelayMs = 3'600'000;

// The instance IDs the stand-in makes up for nodes the file gives none begin so; the
// file may not use it.
inline constexpr std::wstring_view kStandInIdPrefix = L"STANDIN\\";

SimulatedTree EmptySimulatedTree();
SimulatedTreeParse ParseSimulatedTree(std::string_view utf8);

// A class word's setup class: the five swept classes and a few others whose icons the
// device list shows; nothing for any other word.
std::optional<SetupClassGuid> SimulatedClassGuid(std::string_view classWord);

// Position of a known class, from 1: its image in a class image list whose image 0
// stands for every unknown class.
std::optional<int> SimulatedClassImage(const SetupClassGuid& guid);
// The images such a list holds: the unknown class's and one for each known class. A
// constant, so that a picture list that falls behind the classes fails to build.
inline constexpr int kSimulatedKnownClassCount = 16;
int SimulatedClassImageCount();
