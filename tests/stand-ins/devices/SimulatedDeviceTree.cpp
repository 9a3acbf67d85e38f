#include "SimulatedDeviceTree.h"

#include <cstdio>

#include "devices/DeviceClasses.h"
#include "devices/DeviceNames.h"
#include "FileBytes.h"
#include "SimulatedDelay.h"
#include "Utf8Text.h"

using winvalues::ConfigRet;
using winvalues::kCrBufferSmall;
using winvalues::kCrFailure;
using winvalues::kCrNoSuchDevnode;
using winvalues::kCrNoSuchValue;
using winvalues::kCrRemoveVetoed;
using winvalues::kCrSuccess;

namespace {

// CM_PROB_FAILED_START: what a node with a problem reports; the program never looks.
constexpr std::uint32_t kSimulatedProblemNumber = 10;

void ReportFault(const NativePath& file, const SimulatedTreeFault& fault) {
  std::string message = "Tollevane: device tree " + PathText(file);
  if (fault.line > 0) message += ", line " + std::to_string(fault.line);
  message += ": " + fault.message + "; using an empty tree\n";
  std::fputs(message.c_str(), stderr);
  std::fflush(stderr);
}

class SnapshotDeviceSet : public PresentDeviceSet {
 public:
  explicit SnapshotDeviceSet(std::vector<DevNode> members) : members_(std::move(members)) {}

  bool EnumMember(std::uint32_t index, DevNode& node) override {
    if (index >= members_.size()) return false;
    node = members_[index];
    return true;
  }

 private:
  std::vector<DevNode> members_;
};

std::wstring LowerHex(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'A' && c <= L'F') c = static_cast<wchar_t>(c - L'A' + L'a');
  return text;
}

}  // namespace

SimulatedDeviceTree::SimulatedDeviceTree(NativePath file, std::optional<NativePath> ejectLog)
    : file_(std::move(file)),
      ejectLog_(std::move(ejectLog)),
      shared_(SharedEjections(SharedEjections::RecordFor(*file_))) {
  ReloadIfChanged();
}

SimulatedDeviceTree::SimulatedDeviceTree(SimulatedTree tree) { Adopt(std::move(tree)); }

void SimulatedDeviceTree::ReloadIfChanged() {
  if (!file_) return;
  const std::optional<FileStamp> stamp = StampOfFile(*file_);
  if (!loaded_ || loadedStamp_ != stamp) {
    loaded_ = true;
    loadedStamp_ = stamp;
    appliedRecord_.reset();
    Load(stamp.has_value());
  }
  ApplySharedEjections();
}

void SimulatedDeviceTree::ApplySharedEjections() {
  if (!shared_) return;
  const std::optional<FileStamp> record = shared_->Stamp();
  if (record && record == appliedRecord_) return;
  appliedRecord_ = record;
  for (const int line : shared_->Read(loadedStamp_)) {
    const int index = IndexOf(static_cast<DevNode>(line));
    if (index > 0) Vanish(index);
  }
}

void SimulatedDeviceTree::Load(bool readable) {
  const std::optional<std::string> text =
      readable ? ReadFileBytes(*file_) : std::optional<std::string>();
  if (!text) {
    ReportFault(*file_, {0, "cannot be read"});
    Adopt(EmptySimulatedTree());
    return;
  }
  SimulatedTreeParse parsed = ParseSimulatedTree(*text);
  if (parsed.fault) ReportFault(*file_, *parsed.fault);
  Adopt(std::move(parsed.tree));
}

void SimulatedDeviceTree::Adopt(SimulatedTree tree) {
  tree_ = std::move(tree);
  indexOfLine_.assign(static_cast<std::size_t>(tree_.nodes.back().line) + 1, -1);
  classOf_.clear();
  for (std::size_t i = 0; i < tree_.nodes.size(); ++i) {
    indexOfLine_[static_cast<std::size_t>(tree_.nodes[i].line)] = static_cast<int>(i);
    classOf_.push_back(SimulatedClassGuid(tree_.nodes[i].classWord));
  }
  vanished_.assign(tree_.nodes.size(), false);
}

int SimulatedDeviceTree::IndexOf(DevNode node) const {
  return node < indexOfLine_.size() ? indexOfLine_[node] : -1;
}

int SimulatedDeviceTree::PresentIndexOf(DevNode node) const {
  const int index = IndexOf(node);
  return index >= 0 && !vanished_[static_cast<std::size_t>(index)] ? index : -1;
}

int SimulatedDeviceTree::FirstPresentFrom(int index) const {
  while (index >= 0 && vanished_[static_cast<std::size_t>(index)])
    index = tree_.nodes[static_cast<std::size_t>(index)].nextSibling;
  return index;
}

void SimulatedDeviceTree::Vanish(int index) {
  const int depth = tree_.nodes[static_cast<std::size_t>(index)].depth;
  std::size_t i = static_cast<std::size_t>(index);
  do {
    vanished_[i++] = true;
  } while (i < tree_.nodes.size() && tree_.nodes[i].depth > depth);
}

ConfigRet SimulatedDeviceTree::AnswerNode(int found, DevNode& answer) const {
  if (found < 0) return kCrNoSuchDevnode;
  answer = static_cast<DevNode>(tree_.nodes[static_cast<std::size_t>(found)].line);
  return kCrSuccess;
}

ConfigRet SimulatedDeviceTree::GetChild(DevNode& child, DevNode node) {
  const int index = PresentIndexOf(node);
  if (index < 0) return kCrNoSuchDevnode;
  return AnswerNode(FirstPresentFrom(tree_.nodes[static_cast<std::size_t>(index)].firstChild), child);
}

ConfigRet SimulatedDeviceTree::GetSibling(DevNode& sibling, DevNode node) {
  const int index = PresentIndexOf(node);
  if (index < 0) return kCrNoSuchDevnode;
  return AnswerNode(FirstPresentFrom(tree_.nodes[static_cast<std::size_t>(index)].nextSibling),
                    sibling);
}

ConfigRet SimulatedDeviceTree::GetParent(DevNode& parent, DevNode node) {
  const int index = PresentIndexOf(node);
  if (index < 0) return kCrNoSuchDevnode;
  return AnswerNode(tree_.nodes[static_cast<std::size_t>(index)].parent, parent);
}

ConfigRet SimulatedDeviceTree::GetDevNodeStatus(std::uint32_t& status, std::uint32_t& problem,
                                                DevNode node) {
  const int index = PresentIndexOf(node);
  if (index < 0) return kCrNoSuchDevnode;
  const SimulatedNode& found = tree_.nodes[static_cast<std::size_t>(index)];
  status = (found.removable ? winvalues::kDnRemovable : 0u) |
           (found.disableable ? winvalues::kDnDisableable : 0u) |
           (found.problem ? winvalues::kDnHasProblem : 0u);
  problem = found.problem ? kSimulatedProblemNumber : 0u;
  return kCrSuccess;
}

ConfigRet SimulatedDeviceTree::GetRegistryProperty(DevNode node, DeviceProperty property,
                                                   std::size_t bufferUnits, std::wstring& text) {
  const int index = PresentIndexOf(node);
  if (index < 0) return kCrNoSuchDevnode;
  return ReadProperty(tree_.nodes[static_cast<std::size_t>(index)], property, bufferUnits, text);
}

std::optional<std::wstring> SimulatedDeviceTree::PropertyOf(const SimulatedNode& node,
                                                            DeviceProperty property) const {
  switch (property) {
    case DeviceProperty::DeviceDesc:
      return node.desc;
    case DeviceProperty::FriendlyName:
      return node.friendly;
    case DeviceProperty::PhysicalDeviceObjectName:
      return node.pdo;
    case DeviceProperty::ClassGuid:
      if (const auto guid = SimulatedClassGuid(node.classWord))
        return L"{" + LowerHex(FormatClassGuid(*guid)) + L"}";
      return std::nullopt;
  }
  return std::nullopt;
}

ConfigRet SimulatedDeviceTree::PropertyValue(DevNode node, DeviceProperty property,
                                             std::wstring& value) {
  const int index = PresentIndexOf(node);
  if (index < 0) return kCrNoSuchDevnode;
  std::optional<std::wstring> found = PropertyOf(tree_.nodes[static_cast<std::size_t>(index)], property);
  if (!found) return kCrNoSuchValue;
  value = std::move(*found);
  return kCrSuccess;
}

std::optional<SetupClassGuid> SimulatedDeviceTree::ClassOf(DevNode node) const {
  const int index = IndexOf(node);
  return index >= 0 ? classOf_[static_cast<std::size_t>(index)] : std::nullopt;
}

std::vector<DevNode> SimulatedDeviceTree::PresentNodes() {
  ReloadIfChanged();
  std::vector<DevNode> present;
  for (std::size_t i = 1; i < tree_.nodes.size(); ++i)
    if (!vanished_[i]) present.push_back(static_cast<DevNode>(tree_.nodes[i].line));
  return present;
}

ConfigRet SimulatedDeviceTree::ReadProperty(const SimulatedNode& node, DeviceProperty property,
                                            std::size_t bufferUnits, std::wstring& text) const {
  const std::optional<std::wstring> value = PropertyOf(node, property);
  if (!value) return kCrNoSuchValue;
  if (!FitsPropertyBuffer(*value, bufferUnits)) return kCrBufferSmall;
  text = *value;
  return kCrSuccess;
}

std::unique_ptr<PresentDeviceSet> SimulatedDeviceTree::GetPresentDevices(
    const SetupClassGuid& classGuid) {
  ReloadIfChanged();
  std::vector<DevNode> members;
  for (std::size_t i = 1; i < tree_.nodes.size(); ++i)
    if (!vanished_[i] && classOf_[i] == classGuid)
      members.push_back(static_cast<DevNode>(tree_.nodes[i].line));
  return std::make_unique<SnapshotDeviceSet>(std::move(members));
}

std::unique_ptr<PresentDeviceSet> SimulatedDeviceTree::GetAllPresentDevices() {
  return std::make_unique<SnapshotDeviceSet>(PresentNodes());
}

bool SimulatedDeviceTree::GetClassImageIndex(const ClassImageList* /*imageList*/,
                                             std::wstring_view guidText, int& index) {
  const auto guid = ParseClassGuid(guidText);
  if (!guid) return false;
  const auto image = SimulatedClassImage(*guid);
  if (!image) return false;
  index = *image;
  return true;
}

ConfigRet SimulatedDeviceTree::RequestDeviceEject(DevNode node) {
  if (const std::uint32_t delay = EjectDelayOf(node); delay > 0) SleepForMilliseconds(delay);
  return RequestDeviceEjectAtOnce(node);
}

std::uint32_t SimulatedDeviceTree::EjectDelayOf(DevNode node) {
  ReloadIfChanged();
  const int index = PresentIndexOf(node);
  return index < 0 ? 0 : tree_.nodes[static_cast<std::size_t>(index)].delayMs;
}

ConfigRet SimulatedDeviceTree::RequestDeviceEjectAtOnce(DevNode node) {
  ReloadIfChanged();  // another process may have removed it meanwhile
  const int index = IndexOf(node);
  if (index < 0) {
    AppendToEjectLog(static_cast<int>(node), kCrNoSuchDevnode, std::wstring(kUnknownDevice));
    return kCrNoSuchDevnode;
  }
  const SimulatedNode& target = tree_.nodes[static_cast<std::size_t>(index)];
  const std::wstring name =
      DisplayNameFrom([&](DeviceProperty property, std::size_t units, std::wstring& text) {
        return ReadProperty(target, property, units, text);
      });
  ConfigRet result = kCrNoSuchDevnode;
  if (!vanished_[static_cast<std::size_t>(index)]) {
    switch (target.eject) {
      case SimulatedEject::Ok:
        result = kCrSuccess;
        break;
      case SimulatedEject::Fail:
        result = kCrFailure;
        break;
      case SimulatedEject::Veto:
        result = kCrRemoveVetoed;
        break;
    }
    if (result == kCrSuccess && !target.stay) {
      Vanish(index);
      if (shared_) shared_->Record(loadedStamp_, target.line);
    }
  }
  AppendToEjectLog(target.line, result, name);
  return result;
}

void SimulatedDeviceTree::AppendToEjectLog(int line, ConfigRet result,
                                           const std::wstring& name) const {
  if (!ejectLog_) return;
  const std::string entry =
      std::to_string(line) + '\t' + std::to_string(result) + '\t' + EncodeUtf8(name) + '\n';
  AppendFileBytes(*ejectLog_, entry);
}
