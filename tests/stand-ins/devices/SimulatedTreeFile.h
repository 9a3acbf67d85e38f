// The simulated device tree's file: a UTF-8 text with one node per line, indented by two
// spaces per level, and its reading into nodes.
//
//   # comment
//   <class> [desc="..."] [friendly="..."] [pdo="..."] [removable] [disableable]
//           [problem] [eject=ok|fail|veto] [delay=MS] [stay]
//
// pdo is the node's physical device object name (\Device\HarddiskVolume3, say), which
// drive letters are matched through.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/DeviceTree.h"

enum class SimulatedEject { Ok, Fail, Veto };

struct SimulatedNode {
  int line = 0;   // in the file, from 1; 0 for the root, which the file does not name
  int depth = 0;  // 0 for the file's outermost nodes; the root is -1
  std::string classWord;
  std::optional<std::wstring> desc;  // missing: the property cannot be read
  std::optional<std::wstring> friendly;
  std::optional<std::wstring> pdo;
  bool removable = false;
  bool disableable = false;
  bool problem = false;
  bool stay = false;  // still there after a successful eject
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

SimulatedTree EmptySimulatedTree();
SimulatedTreeParse ParseSimulatedTree(std::string_view utf8);

// A class word's setup class: the five swept classes and a few others whose icons the
// device list shows; nothing for any other word.
std::optional<SetupClassGuid> SimulatedClassGuid(std::string_view classWord);

// Position of a known class, from 1: its image in a class image list whose image 0
// stands for every unknown class.
std::optional<int> SimulatedClassImage(const SetupClassGuid& guid);
// The images such a list holds: the unknown class's and one for each known class.
int SimulatedClassImageCount();
