// Device trees for unit tests and benchmarks: a tree written in the simulated tree's file
// format and held in memory, which records every eject request and counts the calls.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "pnp/DeviceTree.h"
#include "SimulatedDeviceTree.h"
#include "SimulatedTreeFile.h"

class FakeDeviceTree : public DeviceTree {
 public:
  struct Eject {
    DevNode node;  // the node's line in the text
    winvalues::ConfigRet result;
    bool operator==(const Eject&) const = default;
  };

  explicit FakeDeviceTree(std::string_view text) : tree_(Parse(text)) {}

  winvalues::ConfigRet GetChild(DevNode& child, DevNode node) override {
    ++navigations_;
    return tree_.GetChild(child, node);
  }
  winvalues::ConfigRet GetSibling(DevNode& sibling, DevNode node) override {
    ++navigations_;
    return tree_.GetSibling(sibling, node);
  }
  winvalues::ConfigRet GetParent(DevNode& parent, DevNode node) override {
    ++navigations_;
    return tree_.GetParent(parent, node);
  }
  winvalues::ConfigRet GetDevNodeStatus(std::uint32_t& status, std::uint32_t& problem,
                                        DevNode node) override {
    ++statusReads_;
    return tree_.GetDevNodeStatus(status, problem, node);
  }
  winvalues::ConfigRet GetRegistryProperty(DevNode node, DeviceProperty property,
                                           std::size_t bufferUnits, std::wstring& text) override {
    ++propertyReads_;
    return tree_.GetRegistryProperty(node, property, bufferUnits, text);
  }
  std::unique_ptr<PresentDeviceSet> GetPresentDevices(const SetupClassGuid& classGuid) override {
    return tree_.GetPresentDevices(classGuid);
  }
  std::unique_ptr<PresentDeviceSet> GetAllPresentDevices() override {
    return tree_.GetAllPresentDevices();
  }
  bool GetClassImageIndex(const ClassImageList* imageList, std::wstring_view guidText,
                          int& index) override {
    return tree_.GetClassImageIndex(imageList, guidText, index);
  }
  std::vector<DeviceInterfacePath> GetDeviceInterfaces(const SetupClassGuid& interfaceClass) override {
    return tree_.GetDeviceInterfaces(interfaceClass);
  }
  // An eject the way a test makes one: the system's own, logged as the removal's are.
  winvalues::ConfigRet RequestDeviceEject(DevNode node) {
    const winvalues::ConfigRet result = tree_.RequestDeviceEject(node);
    ejects_.push_back({node, result});
    return result;
  }
  winvalues::ConfigRet RequestDeviceEjectTellingVeto(DevNode node, EjectVeto& veto) override {
    const winvalues::ConfigRet result = tree_.RequestDeviceEjectTellingVeto(node, veto);
    ejects_.push_back({node, result});
    return result;
  }
  winvalues::ConfigRet GetDeviceInstanceId(DevNode node, std::wstring& id) override {
    return tree_.GetDeviceInstanceId(node, id);
  }

  const std::vector<Eject>& ejects() const { return ejects_; }
  // The lines of every node an eject was requested for, in order, whatever the result.
  std::vector<int> EjectedLines() const {
    std::vector<int> lines;
    for (const Eject& eject : ejects_) lines.push_back(static_cast<int>(eject.node));
    return lines;
  }
  std::size_t propertyReads() const { return propertyReads_; }
  std::size_t statusReads() const { return statusReads_; }
  std::size_t navigations() const { return navigations_; }
  void ResetCounts() { propertyReads_ = statusReads_ = navigations_ = 0; }
  // The simulation itself, for what the seam does not carry (instance IDs, relations).
  SimulatedDeviceTree& simulated() { return tree_; }

 private:
  static SimulatedTree Parse(std::string_view text) {
    SimulatedTreeParse parsed = ParseSimulatedTree(text);
    if (parsed.fault)
      throw std::invalid_argument("test tree, line " + std::to_string(parsed.fault->line) + ": " +
                                  parsed.fault->message);
    return std::move(parsed.tree);
  }

  SimulatedDeviceTree tree_;
  std::vector<Eject> ejects_;
  std::size_t propertyReads_ = 0;
  std::size_t statusReads_ = 0;
  std::size_t navigations_ = 0;
};
