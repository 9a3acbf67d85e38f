#include "SimulatedTreeFile.h"

#include <array>
#include <charconv>
#include <map>

#include "pnp/DeviceClasses.h"
#include "Utf8Text.h"

namespace {

struct KnownClass {
  std::string_view word;
  SetupClassGuid guid;
};

constexpr auto kKnownClasses = std::to_array<KnownClass>({
    {"usb", kGuidDevclassUsb},
    {"pcmcia", kGuidDevclassPcmcia},
    {"hidclass", kGuidDevclassHidclass},
    {"1394", kGuidDevclass1394},
    {"net", kGuidDevclassNet},
    {"diskdrive", {0x4D36E967, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"volume", {0x71A27CDD, 0x812A, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}}},
    {"mouse", {0x4D36E96F, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"keyboard", {0x4D36E96B, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"scsiadapter", {0x4D36E97B, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"system", {0x4D36E97D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"cdrom", {0x4D36E965, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"wpd", {0xEEC5AD98, 0x8080, 0x425F, {0x92, 0x2A, 0xDA, 0xBF, 0x3D, 0xE3, 0xF6, 0x9A}}},
    {"ports", {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"mtd", {0x4D36E970, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
    {"sbp2", {0xD48179BE, 0xEC20, 0x11D1, {0xB6, 0xB8, 0x00, 0xC0, 0x4F, 0xA3, 0x72, 0xA7}}},
});
static_assert(kKnownClasses.size() == kSimulatedKnownClassCount);

// Device instance IDs and their lists: printable characters other than the list's ';'.
bool SplitIdList(const std::wstring& text, std::vector<std::wstring>& items) {
  items.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(L';', start);
    std::wstring item = text.substr(start, end == std::wstring::npos ? end : end - start);
    if (item.empty()) return false;
    items.push_back(std::move(item));
    if (end == std::wstring::npos) return true;
    start = end + 1;
  }
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct LineFault {
  std::string message;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '.';
}

// Reads one line's node (after its indentation) into `node`.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  std::optional<LineFault> Read(SimulatedNode& node) {
    const std::string_view word = TakeWord();
    if (word.empty() || (pos_ < text_.size() && !IsBlank(text_[pos_])))
      return LineFault{"a node must begin with its class word"};
    node.classWord = word;
    std::vector<std::string_view> seen;
    while (SkipBlanks()) {
      const std::string_view name = TakeWord();
      if (name.empty()) return LineFault{"expected an attribute"};
      for (std::string_view earlier : seen)
        if (earlier == name)
          return LineFault{"attribute \"" + std::string(name) + "\" given twice"};
      seen.push_back(name);
      if (auto fault = ReadAttribute(name, node)) return fault;
      if (pos_ < text_.size() && !IsBlank(text_[pos_]))
        return LineFault{"expected a space after attribute \"" + std::string(name) + "\""};
    }
    if (node.vetoer.has_value() != node.vetoerPid.has_value())
      return LineFault{"vetoer and vetoer-pid go together"};
    return std::nullopt;
  }

 private:
  std::optional<LineFault> ReadAttribute(std::string_view name, SimulatedNode& node) {
    const bool hasValue = pos_ < text_.size() && text_[pos_] == '=';
    if (bool* flag = FlagOf(name, node)) {
      if (hasValue) return LineFault{"\"" + std::string(name) + "\" takes no value"};
      *flag = true;
      return std::nullopt;
    }
    std::optional<std::wstring>* text = TextOf(name, node);
    std::vector<std::wstring>* list = ListOf(name, node);
    std::optional<std::uint32_t>* number = name == "disk"         ? &node.disk
                                           : name == "cdrom"      ? &node.cdrom
                                           : name == "vetoer-pid" ? &node.vetoerPid
                                           : name == "address"    ? &node.address
                                                                  : nullptr;
    if (!text && !list && !number && name != "eject" && name != "delay" && name != "policy")
      return LineFault{"unknown attribute \"" + std::string(name) + "\""};
    if (!hasValue) return LineFault{"\"" + std::string(name) + "\" needs a value"};
    ++pos_;
    if (text || list) {
      std::wstring value;
      if (auto fault = TakeString(value)) return fault;
      if (text) {
        *text = std::move(value);
        return std::nullopt;
      }
      if (!SplitIdList(value, *list))
        return LineFault{"\"" + std::string(name) + "\" lists an empty ID"};
      return std::nullopt;
    }
    const std::string_view value = TakeWord();
    if (number) {
      std::uint32_t parsed = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
      if (value.empty() || error != std::errc{} || end != value.data() + value.size())
        return LineFault{"\"" + std::string(name) + "\" must be a " +
                         (number == &node.vetoerPid ? "process id"
                          : number == &node.address ? "bus address"
                                                    : "device number")};
      *number = parsed;
      return std::nullopt;
    }
    if (name == "eject") {
      if (value == "ok")
        node.eject = SimulatedEject::Ok;
      else if (value == "fail")
        node.eject = SimulatedEject::Fail;
      else if (value == "veto")
        node.eject = SimulatedEject::Veto;
      else
        return LineFault{"eject must be ok, fail or veto"};
      return std::nullopt;
    }
    if (name == "policy") {
      constexpr std::array<std::string_view, 3> kPolicies{"none", "orderly", "surprise"};
      for (std::size_t i = 0; i < kPolicies.size(); ++i)
        if (value == kPolicies[i]) {
          node.removalPolicy = static_cast<std::uint32_t>(i + 1);  // CM_REMOVAL_POLICY_*
          return std::nullopt;
        }
      return LineFault{"policy must be none, orderly or surprise"};
    }
    std::uint32_t delay = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), delay);
    if (value.empty() || error != std::errc{} || end != value.data() + value.size() ||
        delay > kMaxSimulatedDelayMs)
      return LineFault{"delay must be 0 to " + std::to_string(kMaxSimulatedDelayMs) +
                       " milliseconds"};
    node.delayMs = delay;
    return std::nullopt;
  }

  static bool* FlagOf(std::string_view name, SimulatedNode& node) {
    if (name == "removable") return &node.removable;
    if (name == "disableable") return &node.disableable;
    if (name == "problem") return &node.problem;
    if (name == "vetoer-live") return &node.vetoerLive;
    if (name == "stay") return &node.stay;
    if (name == "surprise-ok") return &node.surpriseOk;
    if (name == "eject-supported") return &node.ejectSupported;
    return nullptr;
  }

  static std::optional<std::wstring>* TextOf(std::string_view name, SimulatedNode& node) {
    if (name == "desc") return &node.desc;
    if (name == "friendly") return &node.friendly;
    if (name == "pdo") return &node.pdo;
    if (name == "id") return &node.id;
    if (name == "service") return &node.service;
    if (name == "vetoer") return &node.vetoer;
    if (name == "location") return &node.location;
    return nullptr;
  }

  static std::vector<std::wstring>* ListOf(std::string_view name, SimulatedNode& node) {
    if (name == "hwids") return &node.hwids;
    if (name == "compat") return &node.compat;
    if (name == "removes") return &node.removes;
    return nullptr;
  }

  // A double-quoted string with \" and \\ as its only escapes.
  std::optional<LineFault> TakeString(std::wstring& value) {
    if (pos_ >= text_.size() || text_[pos_] != '"') return LineFault{"expected a quoted string"};
    std::string bytes;
    for (++pos_; pos_ < text_.size(); ++pos_) {
      const char c = text_[pos_];
      if (c == '"') {
        ++pos_;
        const auto decoded = DecodeUtf8(bytes);
        if (!decoded) return LineFault{"the string is not valid UTF-8"};
        value = *decoded;
        return std::nullopt;
      }
      if (c == '\\') {
        if (pos_ + 1 >= text_.size() || (text_[pos_ + 1] != '"' && text_[pos_ + 1] != '\\'))
          return LineFault{"only \\\" and \\\\ may follow a backslash"};
        ++pos_;
      }
      bytes += text_[pos_];
    }
    return LineFault{"the string has no closing quote"};
  }

  std::string_view TakeWord() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // True when something other than blanks follows.
  bool SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    return pos_ < text_.size();
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

// Instance IDs are compared without regard to the case of A to Z, as the system does.
std::wstring FoldedId(std::wstring_view id) {
  std::wstring folded(id);
  for (wchar_t& c : folded)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return folded;
}

SimulatedTreeParse Fault(int line, std::string message) {
  return {EmptySimulatedTree(), SimulatedTreeFault{line, std::move(message)}};
}

}  // namespace

SimulatedTree EmptySimulatedTree() {
  SimulatedNode root;
  root.depth = -1;
  root.eject = SimulatedEject::Fail;  // the root cannot be ejected
  return SimulatedTree{{root}};
}

SimulatedTreeParse ParseSimulatedTree(std::string_view utf8) {
  if (utf8.starts_with(kUtf8Bom)) utf8.remove_prefix(kUtf8Bom.size());
  SimulatedTree tree = EmptySimulatedTree();
  // The last node seen at each depth, and each node's last child so far.
  std::vector<int> openAtDepth;
  std::vector<int> lastChild{-1};
  std::map<std::wstring, int> lineOfId;

  int lineNumber = 0;
  for (std::size_t start = 0; start <= utf8.size();) {
    std::size_t end = utf8.find('\n', start);
    if (end == std::string_view::npos) end = utf8.size();
    std::string_view line = utf8.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (line.ends_with('\r')) line.remove_suffix(1);

    std::size_t indent = 0;
    while (indent < line.size() && line[indent] == ' ') ++indent;
    std::size_t firstVisible = indent;
    while (firstVisible < line.size() && IsBlank(line[firstVisible])) ++firstVisible;
    if (firstVisible == line.size() || line[firstVisible] == '#') continue;
    if (firstVisible != indent) return Fault(lineNumber, "indent with spaces only, two per level");
    if (indent % 2 != 0) return Fault(lineNumber, "indentation must be a multiple of two spaces");

    const int depth = static_cast<int>(indent / 2);
    if (depth > static_cast<int>(openAtDepth.size()))
      return Fault(lineNumber, "indented more than one level below the node before");
    if (depth >= kMaxSimulatedDepth)
      return Fault(lineNumber,
                   "nested deeper than " + std::to_string(kMaxSimulatedDepth) + " levels");

    SimulatedNode node;
    node.line = lineNumber;
    node.depth = depth;
    if (auto fault = LineReader(line.substr(indent)).Read(node))
      return Fault(lineNumber, std::move(fault->message));
    if (node.id) {
      const std::wstring folded = FoldedId(*node.id);
      if (folded.empty()) return Fault(lineNumber, "an instance ID cannot be empty");
      if (folded.starts_with(kStandInIdPrefix))
        return Fault(lineNumber, "IDs beginning STANDIN\\ are the stand-in's own");
      const auto [earlier, added] = lineOfId.emplace(folded, lineNumber);
      if (!added)
        return Fault(lineNumber,
                     "instance ID already given on line " + std::to_string(earlier->second));
    }

    const int index = static_cast<int>(tree.nodes.size());
    node.parent = depth == 0 ? 0 : openAtDepth[depth - 1];
    SimulatedNode& parent = tree.nodes[node.parent];
    if (lastChild[node.parent] < 0)
      parent.firstChild = index;
    else
      tree.nodes[lastChild[node.parent]].nextSibling = index;
    lastChild[node.parent] = index;
    tree.nodes.push_back(std::move(node));
    lastChild.push_back(-1);
    openAtDepth.resize(depth);
    openAtDepth.push_back(index);
  }
  return {std::move(tree), std::nullopt};
}

std::optional<SetupClassGuid> SimulatedClassGuid(std::string_view classWord) {
  for (const KnownClass& known : kKnownClasses)
    if (known.word == classWord) return known.guid;
  return std::nullopt;
}

int SimulatedClassImageCount() { return static_cast<int>(kKnownClasses.size()) + 1; }

std::optional<int> SimulatedClassImage(const SetupClassGuid& guid) {
  for (std::size_t i = 0; i < kKnownClasses.size(); ++i)
    if (kKnownClasses[i].guid == guid) return static_cast<int>(i + 1);
  return std::nullopt;
}
