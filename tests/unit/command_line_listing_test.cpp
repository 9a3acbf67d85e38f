// "/list": which names it prints, in which order, and how they are laid out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commandline/CommandLineListing.h"
#include "pnp/SystemNames.h"
#include "fakes/FakeDeviceTree.h"

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

TEST(ExitStatusForListing, WrittenCompleteIsZeroLeftOutThreeUnwrittenOne) {
  EXPECT_EQ(ExitStatusForListing(true, true), 0);
  EXPECT_EQ(ExitStatusForListing(false, true), 3);
  EXPECT_EQ(ExitStatusForListing(true, false), 1);
  EXPECT_EQ(ExitStatusForListing(false, false), 1);
}

}  // namespace
