// Listing and removal on generated trees of growing size, with the number of property
// reads and status reads per node, so that growth with the tree's size shows.
#include <benchmark/benchmark.h>

#include <string>

#include "devices/DeviceEnumeration.h"
#include "devices/DeviceRemoval.h"
#include "pnp/SystemNames.h"
#include "fakes/FakeDeviceTree.h"

namespace {

// The walks do the same work before and after Vista; only the names differ.
const SystemNames kXpNames = SystemNamesFor(5);

// One block of every shape the walks meet, 16 nodes; `stay` keeps every node present so
// that each iteration sees the same tree.
std::string Block(int n) {
  const std::string id = std::to_string(n);
  return "    usb desc=\"USB 大容量記憶装置デバイス\" removable disableable stay\n"
         "      diskdrive friendly=\"Flash Disk " +
         id +
         "\" stay\n"
         "        volume desc=\"汎用ボリューム\" stay\n"
         "    usb desc=\"USB 大容量記憶装置デバイス\" removable disableable stay\n"
         "      diskdrive friendly=\"CF Reader " +
         id +
         "\" stay\n"
         "        volume desc=\"汎用ボリューム\" stay\n"
         "      diskdrive friendly=\"SD Reader " +
         id +
         "\" stay\n"
         "        volume desc=\"汎用ボリューム\" stay\n"
         "    usb desc=\"汎用 USB ハブ\" removable disableable stay\n"
         "      usb desc=\"USB 大容量記憶装置デバイス\" removable disableable stay\n"
         "        diskdrive friendly=\"Hard Disk " +
         id +
         "\" stay\n"
         "          volume desc=\"汎用ボリューム\" stay\n"
         "    hidclass desc=\"USB ヒューマン インターフェイス デバイス\" removable disableable "
         "stay\n"
         "      mouse desc=\"Mouse " +
         id +
         "\" stay\n"
         "    pcmcia desc=\"PC Card " +
         id +
         "\" removable disableable stay\n"
         "    net desc=\"Network Card " +
         id + "\" removable disableable stay\n";
}
constexpr int kBlockNodes = 16;
constexpr int kFrameNodes = 2;  // host controller and root hub

std::string GeneratedTree(int nodes) {
  std::string text = "usb desc=\"Host Controller\"\n  usb desc=\"USB ルート ハブ\"\n";
  const int blocks = (nodes - kFrameNodes) / kBlockNodes;
  for (int b = 0; b < blocks; ++b) text += Block(b);
  for (int rest = kFrameNodes + blocks * kBlockNodes; rest < nodes; ++rest)
    text += "    system desc=\"Filler\"\n";
  return text;
}

int LastBlock(int nodes) { return (nodes - kFrameNodes) / kBlockNodes - 1; }

class CountingSink : public DeviceListSink {
 public:
  void AddOrUpdateRow(const tag_device_hotkey_info&, bool) override { ++rows; }
  long rows = 0;
};

class NoPreparation : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

void ReportPerNode(benchmark::State& state, const FakeDeviceTree& tree, int nodes) {
  const double visits = static_cast<double>(state.iterations()) * nodes;
  state.counters["nodes"] = nodes;
  state.counters["reads/node"] = static_cast<double>(tree.propertyReads()) / visits;
  state.counters["status/node"] = static_cast<double>(tree.statusReads()) / visits;
}

void BM_EnumerateDevices(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  FakeDeviceTree tree(GeneratedTree(nodes));
  CountingSink sink;
  for (auto _ : state) {
    DeviceEnumeration(tree, 0x3F, kXpNames, nullptr, sink).EnumerateDevices(false);
    benchmark::DoNotOptimize(sink.rows);
  }
  ReportPerNode(state, tree, nodes);
  state.counters["rows"] = static_cast<double>(sink.rows) / static_cast<double>(state.iterations());
}

void Remove(benchmark::State& state, const std::wstring& name, int nodes, FakeDeviceTree& tree) {
  NoPreparation preparation;
  tag_device_hotkey_info registration;
  for (auto _ : state) {
    DeviceRemoval removal(tree, 0x3F, kXpNames, preparation);
    benchmark::DoNotOptimize(removal.FindAndEject(name, &registration, RemovalStartedBy::Hotkey));
  }
  ReportPerNode(state, tree, nodes);
  state.counters["ejects"] =
      static_cast<double>(tree.ejects().size()) / static_cast<double>(state.iterations());
}

// The card reader's second slot of the last block: found by the later-sibling comparison.
void BM_RemoveOneDevice(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  FakeDeviceTree tree(GeneratedTree(nodes));
  Remove(state, L"SD Reader " + std::to_wstring(LastBlock(nodes)), nodes, tree);
}

void BM_RemoveAllStorage(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  FakeDeviceTree tree(GeneratedTree(nodes));
  Remove(state, kXpNames.storageDesc, nodes, tree);
}

void BM_RemoveAbsentDevice(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  FakeDeviceTree tree(GeneratedTree(nodes));
  Remove(state, L"Not Connected", nodes, tree);
}

BENCHMARK(BM_EnumerateDevices)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RemoveOneDevice)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RemoveAllStorage)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RemoveAbsentDevice)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
