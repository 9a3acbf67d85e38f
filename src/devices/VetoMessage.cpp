#include "devices/VetoMessage.h"

#include "resources/resource.h"

using namespace winvalues;

namespace {

struct Reason {
  unsigned textId;
  bool namesWho;      // the veto name says who refused, and the text shows it
  bool closeProgram;  // the user can end the refusal by closing something
};

Reason ReasonFor(std::uint32_t vetoType) {
  switch (vetoType) {
    case kPnpVetoWindowsApp:
      return {IDS_VETO_WINDOWS_APP, true, true};
    case kPnpVetoWindowsService:
      return {IDS_VETO_WINDOWS_SERVICE, true, true};
    case kPnpVetoDriver:
      return {IDS_VETO_DRIVER, true, false};
    case kPnpVetoLegacyDriver:
      return {IDS_VETO_LEGACY_DRIVER, true, false};
    case kPnpVetoOutstandingOpen:
      return {IDS_VETO_IN_USE, false, true};
    case kPnpVetoPendingClose:
      return {IDS_VETO_PENDING_CLOSE, false, false};
    case kPnpVetoLegacyDevice:
      return {IDS_VETO_LEGACY_DEVICE, false, false};
    case kPnpVetoDevice:
      return {IDS_VETO_DEVICE_REFUSED, false, false};
    case kPnpVetoIllegalDeviceRequest:
      return {IDS_VETO_ILLEGAL_REQUEST, false, false};
    case kPnpVetoInsufficientPower:
      return {IDS_VETO_INSUFFICIENT_POWER, false, false};
    case kPnpVetoNonDisableable:
      return {IDS_VETO_NON_DISABLEABLE, false, false};
    case kPnpVetoInsufficientRights:
      return {IDS_VETO_INSUFFICIENT_RIGHTS, false, false};
    case kPnpVetoAlreadyRemoved:
      return {IDS_VETO_ALREADY_REMOVED, false, false};
    default:
      return {IDS_VETO_UNKNOWN, false, false};
  }
}

PromptLine Advice(bool closeProgram) {
  return {closeProgram ? unsigned{IDS_VETO_ADVICE_CLOSE} : unsigned{IDS_VETO_ADVICE_RETRY},
          std::nullopt, std::nullopt};
}

}  // namespace

std::vector<PromptLine> VetoMessageLines(std::wstring_view deviceName, const EjectVeto& veto,
                                         const std::optional<VetoHolder>& holder,
                                         bool closeRefused) {
  std::vector<PromptLine> lines{{IDS_VETO_DEVICE, std::wstring(deviceName), std::nullopt}};
  if (holder) {
    lines.push_back(
        {IDS_VETO_HELD_BY_PROGRAM, holder->program, static_cast<int>(holder->processId)});
    lines.push_back(closeRefused ? PromptLine{IDS_VETO_CLOSE_REFUSED, holder->program, std::nullopt}
                                 : Advice(true));
    return lines;
  }
  const Reason reason = ReasonFor(veto.type);
  if (reason.namesWho && veto.name.empty()) {
    // A refusal that should say who but does not is, to the user, a device in use.
    lines.push_back({IDS_VETO_IN_USE, std::nullopt, std::nullopt});
  } else if (reason.namesWho) {
    lines.push_back({reason.textId, veto.name, std::nullopt});
  } else {
    lines.push_back({reason.textId, std::nullopt, std::nullopt});
  }
  lines.push_back(Advice(reason.closeProgram));
  return lines;
}

VetoReply AskAboutVetoes(const std::vector<VetoedRequest>& vetoes, const VetoAsking& asking) {
  for (const VetoedRequest& vetoed : vetoes) {
    const bool refused = vetoed.holder && vetoed.holder == asking.refused;
    std::optional<PromptLine> closeButton;
    if (vetoed.holder && !refused && asking.mayOfferClose && asking.mayOfferClose(*vetoed.holder))
      closeButton = PromptLine{IDS_VETO_CLOSE_AND_RETRY, vetoed.holder->program, std::nullopt};
    const int answer = asking.show(
        VetoMessageLines(vetoed.deviceName, vetoed.veto, vetoed.holder, refused), closeButton);
    if (answer == kIdRetry) return {true, std::nullopt};
    if (answer == kIdThirdButton && closeButton) return {true, vetoed.holder};
  }
  return {};
}

bool TellVetoes(const std::vector<VetoedRequest>& vetoes,
                const std::function<bool(const std::vector<PromptLine>&)>& tell) {
  VetoAsking asking;
  asking.show = [&tell](const std::vector<PromptLine>& lines, const std::optional<PromptLine>&) {
    return tell(lines) ? kIdRetry : kIdCancel;
  };
  return AskAboutVetoes(vetoes, asking).retry;
}
