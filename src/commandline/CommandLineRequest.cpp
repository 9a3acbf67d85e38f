#include "commandline/CommandLineRequest.h"

#include "commandline/DriveArgument.h"
#include "common/AsciiCase.h"
#include "drives/VolumeLabels.h"
#include "pnp/DeviceNames.h"
#include "resources/resource.h"

namespace {

// Longer than any display name can be (the name buffer less its NUL): no device has it.
constexpr std::size_t kMaxName = kNameBufferUnits - 1;
// MAX_PATH less the NUL: the longest path the mount-point call takes.
constexpr std::size_t kMaxFolder = 259;

bool StartsWithSwitchMark(std::wstring_view argument) {
  return !argument.empty() && (argument[0] == L'/' || argument[0] == L'-');
}

// The switch's word after its mark, folded; "" for an argument that is no switch.
std::wstring SwitchWord(std::wstring_view argument) {
  if (!StartsWithSwitchMark(argument)) return {};
  std::wstring word;
  for (wchar_t c : argument.substr(1)) {
    if (c == L':') break;
    word.push_back(LowerAscii(c));
  }
  return word;
}

std::optional<std::wstring_view> SwitchValue(std::wstring_view argument) {
  const std::size_t colon = argument.find(L':');
  if (colon == std::wstring_view::npos) return std::nullopt;
  return argument.substr(colon + 1);
}

std::optional<unsigned> ParseSeconds(std::wstring_view text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  unsigned value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - L'0');
  }
  if (value > kMaxWaitSeconds) return std::nullopt;
  return value;
}

PromptLine Problem(unsigned id, std::wstring_view argument) {
  return {id, std::wstring(argument), std::nullopt};
}

PromptLine TooLong(unsigned id, std::size_t limit) {
  return {id, std::nullopt, static_cast<int>(limit)};
}

class Parser {
 public:
  ParsedCommandLine Parse(const std::vector<std::wstring>& arguments) {
    for (const std::wstring& argument : arguments) {
      if (IsUsageSwitch(argument)) {
        result_.usage = true;
        result_.problem.reset();
        return result_;
      }
      if (!result_.problem) Take(argument);
    }
    if (!result_.problem && !haveTarget_) result_.problem = PromptLine{IDS_CL_NO_SELECTOR, {}, {}};
    // A name may be a whole reader's; the card is known by the drive that shows it.
    if (!result_.problem && result_.request.card && result_.request.target == RemovalTarget::Name)
      result_.problem = PromptLine{IDS_CL_CARD_NEEDS_DRIVE, {}, {}};
    return result_;
  }

 private:
  void Take(const std::wstring& argument) {
    const std::wstring word = SwitchWord(argument);
    RemovalRequest& request = result_.request;
    if (word == L"whatif" && !SwitchValue(argument)) {
      request.whatIf = true;
    } else if (word == L"card" && !SwitchValue(argument)) {
      request.card = true;
    } else if (word == L"wait") {
      TakeWait(argument);
    } else if (word == L"label") {
      TakeLabel(argument);
    } else if (ParseDriveArgument(argument)) {
      SetTarget(RemovalTarget::Drive, *ParseDriveArgument(argument), argument);
    } else if (LooksLikeMountFolder(argument)) {
      if (argument.size() > kMaxFolder) return Fail(TooLong(IDS_CL_FOLDER_TOO_LONG, kMaxFolder));
      SetTarget(RemovalTarget::Folder, argument, argument);
    } else {
      if (Utf16Units(argument) > kMaxName) return Fail(TooLong(IDS_CL_NAME_TOO_LONG, kMaxName));
      SetTarget(RemovalTarget::Name, argument, argument);
      if (!result_.problem && StartsWithSwitchMark(argument)) request.unknownSwitch = true;
    }
  }

  void TakeWait(const std::wstring& argument) {
    const auto value = SwitchValue(argument);
    if (!value || value->empty()) return Fail(Problem(IDS_CL_MISSING_VALUE, argument));
    const auto seconds = ParseSeconds(*value);
    if (!seconds) return Fail(Problem(IDS_CL_BAD_WAIT, argument));
    result_.request.waitSeconds = seconds;
  }

  void TakeLabel(const std::wstring& argument) {
    const auto value = SwitchValue(argument);
    if (!value || value->empty()) return Fail(Problem(IDS_CL_MISSING_VALUE, argument));
    if (value->size() > kMaxVolumeLabel)
      return Fail(TooLong(IDS_CL_LABEL_TOO_LONG, kMaxVolumeLabel));
    SetTarget(RemovalTarget::Label, std::wstring(*value), argument);
  }

  void SetTarget(RemovalTarget target, std::wstring value, const std::wstring& argument) {
    if (haveTarget_) {
      // An unknown switch beside a target is told as what it is, whichever came first.
      const bool earlierUnknown = result_.request.unknownSwitch;
      const bool thisUnknown = target == RemovalTarget::Name && StartsWithSwitchMark(argument);
      if (earlierUnknown || thisUnknown)
        return Fail(
            Problem(IDS_CL_UNKNOWN_SWITCH, earlierUnknown ? result_.request.value : argument));
      return Fail(Problem(IDS_CL_TWO_SELECTORS, argument));
    }
    haveTarget_ = true;
    result_.request.target = target;
    result_.request.value = std::move(value);
  }

  void Fail(PromptLine problem) { result_.problem = std::move(problem); }

  ParsedCommandLine result_;
  bool haveTarget_ = false;
};

}  // namespace

bool IsUsageSwitch(std::wstring_view argument) {
  if (argument.size() < 2 || argument.size() > 5 || !StartsWithSwitchMark(argument)) return false;
  const std::wstring word = SwitchWord(argument);
  return word == L"?" || word == L"h" || word == L"help";
}

ParsedCommandLine ParseRemovalCommandLine(const std::vector<std::wstring>& arguments) {
  return Parser().Parse(arguments);
}

bool NeedsRemovalParser(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) return false;
  const std::wstring& first = arguments.front();
  return arguments.size() > 1 || StartsWithSwitchMark(first) || LooksLikeMountFolder(first) ||
         Utf16Units(first) > kMaxName;
}

int ExitStatusForEveryTarget(unsigned requests, unsigned successes) {
  if (requests == 0) return 1;
  return successes == requests ? 0 : 2;
}
