// "/list": which names it prints, in which order, and how they are laid out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commandline/CommandLineDevices.h"
#include "commandline/CommandLineListing.h"
#include "commandline/DeviceListJson.h"
#include "pnp/SystemNames.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/TreeDrives.h"

namespace {

class CommandLineListingTest : public testing::Test {};

constexpr const char* kMachine = R"(
usb desc="USB 大容量記憶装置" removable disableable
  diskdrive friendly="Stick"
    volume desc="汎用ボリューム"
usb desc="汎用 USB ハブ" removable disableable
  usb desc="USB 大容量記憶装置" removable disableable
    diskdrive friendly="Hub Stick"
      volume desc="汎用ボリューム"
usb desc="USB 大容量記憶装置" removable disableable
  diskdrive friendly="STICK"
    volume desc="汎用ボリューム"
pcmcia desc="PC Card Modem" removable disableable
net desc="Ethernet Card" removable disableable
usb desc="Fixed Hub"
)";

TEST_F(CommandLineListingTest, StorageDescriptionFirstThenWhatTheListOffersOnce) {
  struct Case {
    unsigned major;
    std::uint32_t kind;
    std::vector<std::wstring> names;
  };
  const Case cases[] = {
      // The hub is not named; the second stick differs only in case and is one name.
      {6, 31, {L"USB 大容量記憶装置", L"Stick", L"Hub Stick", L"PC Card Modem"}},
      {6, 0x3F, {L"USB 大容量記憶装置", L"Stick", L"Hub Stick", L"PC Card Modem", L"Ethernet Card"}},
      // Without USB only the description is left of the storage devices.
      {6, 0x02, {L"USB 大容量記憶装置", L"PC Card Modem"}},
      // Before Vista the storage description is the longer one.
      {5, 0x02, {L"USB 大容量記憶装置デバイス", L"PC Card Modem"}},
  };
  for (const Case& c : cases) {
    FakeDeviceTree tree(kMachine);
    EXPECT_EQ(CommandLineNames(tree, SystemNamesFor(c.major), c.kind), c.names)
        << c.major << " " << c.kind;
    EXPECT_TRUE(tree.ejects().empty());
  }
}

TEST_F(CommandLineListingTest, OneNameALineAndNoNameSplitsInTwo) {
  EXPECT_EQ(FormatNameLines({}), L"");
  EXPECT_EQ(FormatNameLines({L"A", L"", L"ディスク"}), L"A\r\n\r\nディスク\r\n");
  EXPECT_EQ(FormatNameLines({L"Two\r\nLines", L"x\ny"}), L"Two  Lines\r\nx y\r\n");
}

// A single-byte code page that carries Latin-1 only: what a Western system's output
// would make of Japanese names.
std::optional<std::string> Latin1(std::wstring_view line) {
  std::string bytes;
  for (const wchar_t c : line) {
    if (c > 0xFF) return std::nullopt;
    bytes += static_cast<char>(c);
  }
  return bytes;
}

TEST_F(CommandLineListingTest, NamesTheCodePageCannotCarryAreLeftOutNotAltered) {
  struct Case {
    std::vector<std::wstring> names;
    EncodedNames expected;
  };
  const Case cases[] = {
      {{}, {"", true}},
      {{L"Stick", L"Caf\u00e9 Card"}, {"Stick\r\nCaf\xe9 Card\r\n", true}},
      {{L"USB 大容量記憶装置", L"Stick", L"ディスク"}, {"Stick\r\n", false}},
      {{L"Two\nLines"}, {"Two Lines\r\n", true}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeNameLines(c.names, Latin1), c.expected) << c.names.size();
  }
}

// E: the stick, labelled and also mounted at C:\mnt\stick; F: the card's disk, unlabelled;
// C: the fixed disk, which no device listed holds.
constexpr const char* kDrivesMachine = R"(
usb desc="USB 大容量記憶装置" removable disableable
  diskdrive friendly="Stick" id="USBSTOR\\DISK&VEN_A\\1" removes="STORAGE\\VOLUME\\STICK" disk=1
    volume desc="汎用ボリューム"
pcmcia desc="Card" removable disableable
  diskdrive friendly="Card Disk" id="PCMCIA\\DISK\\1" removes="STORAGE\\VOLUME\\CARD" disk=3
    volume desc="汎用ボリューム"
diskdrive friendly="Fixed Disk" removes="STORAGE\\VOLUME\\FIXED" disk=0
system id="ROOT\\VOLMGR\\0000"
  volume desc="ボリューム" id="STORAGE\\VOLUME\\STICK"
  volume desc="ボリューム" id="STORAGE\\VOLUME\\CARD"
  volume desc="ボリューム" id="STORAGE\\VOLUME\\FIXED"
)";

struct MountedDrives : TreeDrives {
  explicit MountedDrives(FakeDeviceTree& tree)
      : TreeDrives(tree, {{L'E', {winvalues::kDriveRemovable, L"STORAGE\\VOLUME\\STICK"}},
                          {L'F', {winvalues::kDriveFixed, L"STORAGE\\VOLUME\\CARD"}},
                          {L'C', {winvalues::kDriveFixed, L"STORAGE\\VOLUME\\FIXED"}}}) {}
  std::optional<std::wstring> VolumeLabel(wchar_t letter) override {
    return letter == L'E' ? L"BACKUP" : L"";
  }
  std::optional<std::wstring> MountedVolume(const std::wstring& path) override {
    return path == L"E:\\" ? std::optional<std::wstring>(L"{e}") : std::nullopt;
  }
  std::vector<std::wstring> MountPaths(const std::wstring& volume) override {
    if (volume != L"{e}") return {};
    return {L"E:\\", L"C:\\mnt\\stick\\"};
  }
};

TEST_F(CommandLineListingTest, EachDeviceWithItsKindIdAndDrivesTheAllStoragePresentWithAStick) {
  FakeDeviceTree tree(kDrivesMachine);
  MountedDrives storage(tree);
  auto devices = CommandLineDevices(tree, SystemNamesFor(6), 31, &storage, true);
  AddListedDrives(devices, tree, storage);
  const std::vector<ListedDrive> stick = {{L"E:", L"BACKUP"}, {L"C:\\mnt\\stick", L"BACKUP"}};
  const std::vector<ListedDevice> expected = {
      {L"USB 大容量記憶装置", "all-storage", L"", true, false, {}},
      {L"Stick", "usb", L"USBSTOR\\DISK&VEN_A\\1", true, true, stick},
      {L"Card Disk", "pcmcia", L"PCMCIA\\DISK\\1", true, false, {{L"F:", std::nullopt}}},
  };
  EXPECT_EQ(devices, expected);
  EXPECT_TRUE(tree.ejects().empty());
}

TEST(DevicesJson, UserDataIsEscapedAndEveryDeviceIsOneObject) {
  struct Case {
    std::wstring text;
    bool asciiOnly;
    std::wstring expected;
  };
  const Case cases[] = {
      {L"C:\\mnt\\\"x\"", false, L"\"C:\\\\mnt\\\\\\\"x\\\"\""},
      {L"a\tb\r\nc\x01\x1f\x7f", false, L"\"a\\tb\\r\\nc\\u0001\\u001f\\u007f\""},
      {L"写真 é", false, L"\"写真 é\""},
      {L"写真 é", true, L"\"\\u5199\\u771f \\u00e9\""},
      {std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x", false, L"\"\\ud800x\""},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonString(c.text, c.asciiOnly), c.expected) << c.expected;

  const std::vector<ListedDevice> devices = {
      {L"USB 大容量記憶装置", "all-storage", L"", false, false, {}},
      {L"Two\nLines", "usb", L"USB\\1", true, true, {{L"E:", L"A\"B"}, {L"C:\\m", std::nullopt}}},
  };
  EXPECT_EQ(FormatDevicesJson(devices, false),
            L"[\r\n"
            L"{\"name\":\"USB 大容量記憶装置\",\"kind\":\"all-storage\",\"drives\":[],\"labels\":{},"
            L"\"instanceId\":null,\"present\":false},\r\n"
            L"{\"name\":\"Two Lines\",\"kind\":\"usb\",\"drives\":[\"E:\",\"C:\\\\m\"],"
            L"\"labels\":{\"E:\":\"A\\\"B\"},\"instanceId\":\"USB\\\\1\",\"present\":true}\r\n"
            L"]\r\n");
}

TEST(ExitStatusForListing, WrittenCompleteIsZeroLeftOutThreeUnwrittenOne) {
  EXPECT_EQ(ExitStatusForListing(true, true), 0);
  EXPECT_EQ(ExitStatusForListing(false, true), 3);
  EXPECT_EQ(ExitStatusForListing(true, false), 1);
  EXPECT_EQ(ExitStatusForListing(false, false), 1);
}

}  // namespace
