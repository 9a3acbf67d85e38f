// The system's names: which the running version gets, and what they recognise as USB
// mass storage and as the all-storage entry.
#include <gtest/gtest.h>

#include <string>

#include "pnp/SystemNames.h"

namespace {

TEST(SystemNames, FollowTheMajorVersion) {
  struct Case {
    unsigned major;
    std::wstring storageDesc;
    std::wstring allStorageName;
    bool vistaOrLater;
  };
  const Case cases[] = {
      {4, L"USB 大容量記憶装置デバイス", L"すべての USB 大容量記憶装置デバイス", false},
      {5, L"USB 大容量記憶装置デバイス", L"すべての USB 大容量記憶装置デバイス", false},
      {6, L"USB 大容量記憶装置", L"すべての USB 大容量記憶装置", true},
      {10, L"USB 大容量記憶装置", L"すべての USB 大容量記憶装置", true},
  };
  for (const Case& c : cases) {
    const SystemNames names = SystemNamesFor(c.major);
    EXPECT_EQ(names.storageDesc, c.storageDesc) << c.major;
    EXPECT_EQ(names.allStorageName, c.allStorageName) << c.major;
    EXPECT_EQ(names.vistaOrLater, c.vistaOrLater) << c.major;
  }
}

TEST(SystemNames, StorageIsRecognisedByTheDescriptionOfTheVersionIgnoringLatinCase) {
  struct Case {
    unsigned major;
    std::wstring name;
    bool storage;
  };
  const Case cases[] = {
      {6, L"USB 大容量記憶装置", true},
      {6, L"usb 大容量記憶装置", true},
      {6, L"USB 大容量記憶装置デバイス", false},
      {5, L"USB 大容量記憶装置デバイス", true},
      {5, L"USB 大容量記憶装置", false},
      {5, L"すべての USB 大容量記憶装置デバイス", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SystemNamesFor(c.major).IsStorageName(c.name), c.storage)
        << c.major << " " << testing::PrintToString(c.name);
  }
}

TEST(SystemNames, AllStorageEntryNeedsItsExactLabelAndTheUsbKind) {
  const SystemNames names = SystemNamesFor(6);
  struct Case {
    std::wstring name;
    std::uint32_t kind;
    bool allStorage;
  };
  const Case cases[] = {
      {L"すべての USB 大容量記憶装置", 1, true},
      {L"すべての USB 大容量記憶装置", 2, false},  // a hand-edited entry of another kind
      {L"すべての usb 大容量記憶装置", 1, false},  // the label is compared exactly
      {L"USB 大容量記憶装置", 1, false},
  };
  for (const Case& c : cases) {
    tag_device_hotkey_info record;
    record.name = c.name;
    record.device_kind = c.kind;
    EXPECT_EQ(names.IsAllStorageRecord(record), c.allStorage)
        << testing::PrintToString(c.name) << " kind " << c.kind;
  }
}

}  // namespace
