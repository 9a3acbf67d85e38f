#include "SimulatedDeviceTree.h"

#include <cstdio>

#include "common/AsciiCase.h"
#include "pnp/DeviceClasses.h"
#include "pnp/DeviceNames.h"
#include "drives/DiskInterfaces.h"
#include "FileBytes.h"
#include "ProcessLife.h"
#include "SimulatedDelay.h"
#include "SimulatedSystemLog.h"
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

// REG_MULTI_SZ without its final NUL (which the caller adds as for any string): each
// item followed by its own NUL. Nothing for an empty list, a property not set.
std::optional<std::wstring> MultiString(const std::vector<std::wstring>& items) {
  if (items.empty()) return std::nullopt;
  std::wstring joined;
  for (const std::wstring& item : items) {
    joined += item;
    joined += L'\0';
  }
  return joined;
}

constexpr std::wstring_view kRootId = L"HTREE\\ROOT\\0";

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

void SimulatedDeviceTree::VanishAfter(std::size_t calls, std::vector<DevNode> nodes) {
  vanishAt_ = calls_ + calls;
  vanishing_ = std::move(nodes);
}

void SimulatedDeviceTree::CountCall() {
  if (++calls_ <= vanishAt_ || vanishing_.empty()) return;
  for (const DevNode node : vanishing_)
    if (const int index = IndexOf(node); index > 0) Vanish(index);
  vanishing_.clear();
}

void SimulatedDeviceTree::ReloadIfChanged() {
  CountCall();
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

int SimulatedDeviceTree::PresentIndexOf(DevNode node) {
  CountCall();
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
  status = SimulatedStatus(found);
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
    case DeviceProperty::Service:
      return node.service;
    case DeviceProperty::HardwareId:
      return MultiString(node.hwids);
    case DeviceProperty::CompatibleIds:
      return MultiString(node.compat);
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
  text = value->substr(0, value->find(L'\0'));
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

ConfigRet SimulatedDeviceTree::RequestDeviceEjectTellingVeto(DevNode node, EjectVeto& veto) {
  if (const std::uint32_t delay = EjectDelayOf(node); delay > 0) SleepForMilliseconds(delay);
  return RequestDeviceEjectAtOnce(node, veto);
}

ConfigRet SimulatedDeviceTree::RequestDeviceEjectAtOnce(DevNode node) {
  EjectVeto unused;
  return RequestDeviceEjectAtOnce(node, unused);
}

int SimulatedDeviceTree::HolderAtOrBelow(int index) const {
  const int depth = tree_.nodes[static_cast<std::size_t>(index)].depth;
  for (std::size_t i = static_cast<std::size_t>(index); i < tree_.nodes.size(); ++i) {
    if (i != static_cast<std::size_t>(index) && tree_.nodes[i].depth <= depth) break;
    const SimulatedNode& node = tree_.nodes[i];
    if (vanished_[i] || !node.vetoer) continue;
    if (!node.vetoerLive || !ProcessHasEnded(*node.vetoerPid)) return static_cast<int>(i);
  }
  return -1;
}

void SimulatedDeviceTree::WriteVetoEvent(int holder) {
  const SimulatedNode& held = tree_.nodes[static_cast<std::size_t>(holder)];
  VetoEvent event{SimulatedSystemTime(), *held.vetoerPid, *held.vetoer, IdOf(holder)};
  if (file_) AppendFileBytes(SystemLogFor(*file_), FormatVetoEventLine(event));
  vetoEvents_.push_back(std::move(event));
}

ConfigRet SimulatedDeviceTree::RequestDeviceEjectAtOnce(DevNode node, EjectVeto& veto) {
  veto = EjectVeto{};
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
  const int holder = vanished_[static_cast<std::size_t>(index)] ? -1 : HolderAtOrBelow(index);
  if (holder >= 0) {
    result = kCrRemoveVetoed;
    veto = EjectVeto{winvalues::kPnpVetoOutstandingOpen, InstancePathOf(holder)};
    WriteVetoEvent(holder);
  } else if (!vanished_[static_cast<std::size_t>(index)]) {
    switch (target.eject) {
      case SimulatedEject::Ok:
        result = kCrSuccess;
        break;
      case SimulatedEject::Fail:
        result = kCrFailure;
        break;
      case SimulatedEject::Veto:
        result = kCrRemoveVetoed;
        veto = EjectVeto{winvalues::kPnpVetoOutstandingOpen, InstancePathOf(index)};
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

std::wstring SimulatedDeviceTree::IdOf(int index) const {
  const SimulatedNode& node = tree_.nodes[static_cast<std::size_t>(index)];
  if (index == 0) return std::wstring(kRootId);
  if (node.id) return *node.id;
  return std::wstring(kStandInIdPrefix) + L"LINE" + std::to_wstring(node.line);
}

std::wstring SimulatedDeviceTree::InstancePathOf(int index) const {
  std::wstring path = IdOf(index);
  for (wchar_t& c : path) c = UpperAscii(c);
  return path;
}

int SimulatedDeviceTree::PresentIndexOfId(std::wstring_view id) const {
  for (std::size_t i = 0; i < tree_.nodes.size(); ++i)
    if (!vanished_[i] && DeviceNamesEqual(IdOf(static_cast<int>(i)), id)) return static_cast<int>(i);
  return -1;
}

ConfigRet SimulatedDeviceTree::DeviceId(DevNode node, std::wstring& id) {
  const int index = PresentIndexOf(node);
  if (index < 0) return kCrNoSuchDevnode;
  id = InstancePathOf(index);
  return kCrSuccess;
}

ConfigRet SimulatedDeviceTree::LocateNode(std::wstring_view id, DevNode& node) {
  ReloadIfChanged();
  return AnswerNode(id.empty() ? 0 : PresentIndexOfId(id), node);
}

ConfigRet SimulatedDeviceTree::RemovalRelations(DevNode node, std::vector<std::wstring>& ids) {
  const int index = PresentIndexOf(node);
  if (index < 0) return kCrNoSuchDevnode;
  ids.clear();
  for (const std::wstring& related : tree_.nodes[static_cast<std::size_t>(index)].removes)
    if (const int found = PresentIndexOfId(related); found >= 0) ids.push_back(IdOf(found));
  return kCrSuccess;
}

ConfigRet SimulatedDeviceTree::BusRelations(DevNode node, std::vector<std::wstring>& ids) {
  const int index = PresentIndexOf(node);
  if (index < 0) return kCrNoSuchDevnode;
  ids.clear();
  for (int child = FirstPresentFrom(tree_.nodes[static_cast<std::size_t>(index)].firstChild);
       child >= 0; child = FirstPresentFrom(tree_.nodes[static_cast<std::size_t>(child)].nextSibling))
    ids.push_back(IdOf(child));
  return kCrSuccess;
}

std::vector<std::wstring> SimulatedDeviceTree::AllIds() {
  ReloadIfChanged();
  std::vector<std::wstring> ids;
  for (std::size_t i = 0; i < tree_.nodes.size(); ++i) ids.push_back(IdOf(static_cast<int>(i)));
  return ids;
}

std::vector<std::wstring> SimulatedDeviceTree::IdsOfService(std::wstring_view service) {
  ReloadIfChanged();
  std::vector<std::wstring> ids;
  for (std::size_t i = 1; i < tree_.nodes.size(); ++i) {
    const auto& own = tree_.nodes[i].service;
    if (own && DeviceNamesEqual(*own, service)) ids.push_back(IdOf(static_cast<int>(i)));
  }
  return ids;
}

std::vector<DeviceInterfacePath> SimulatedDeviceTree::GetDeviceInterfaces(
    const SetupClassGuid& interfaceClass) {
  ReloadIfChanged();
  const bool disks = interfaceClass == kGuidDevinterfaceDisk;
  const bool cdroms = interfaceClass == kGuidDevinterfaceCdrom;
  std::vector<DeviceInterfacePath> found;
  for (std::size_t i = 1; i < tree_.nodes.size(); ++i) {
    const SimulatedNode& node = tree_.nodes[i];
    if (vanished_[i]) continue;
    const DevNode handle = static_cast<DevNode>(node.line);
    if (disks && node.disk) found.push_back({handle, L"\\\\.\\PhysicalDrive" + std::to_wstring(*node.disk)});
    if (cdroms && node.cdrom) found.push_back({handle, L"\\\\.\\CdRom" + std::to_wstring(*node.cdrom)});
  }
  return found;
}
