#include "commandline/RemovalReason.h"

#include <string>

#include "pnp/DeviceNames.h"
#include "resources/resource.h"

namespace {

// CONFIGRET values (cfgmgr32.h) that a refused eject request is known to give.
constexpr winvalues::ConfigRet kCrInvalidDevnode = 0x05;
constexpr winvalues::ConfigRet kCrNotDisableable = 0x28;
constexpr winvalues::ConfigRet kCrAccessDenied = 0x33;

// Why nothing was asked: the place named is not there, or nothing removable holds it.
unsigned NothingFoundText(RemovalTarget target, bool placeFound) {
  if (target == RemovalTarget::Name) return IDS_CL_NO_DEVICE;
  if (placeFound) return IDS_CL_NO_HOLDER;
  switch (target) {
    case RemovalTarget::Label:
      return IDS_CL_NO_LABEL;
    case RemovalTarget::Folder:
      return IDS_CL_NO_FOLDER;
    default:
      return IDS_CL_NO_DRIVE;
  }
}

PromptLine RefusedRequest(const EjectAnswer& answer, std::wstring_view argument) {
  switch (answer.result) {
    case kCrAccessDenied:
      return {IDS_CL_CR_ACCESS_DENIED, answer.deviceName, std::nullopt};
    case kCrInvalidDevnode:
    case winvalues::kCrNoSuchDevnode:
      // Unplugged before its name could be read: what was typed tells which one went.
      return {IDS_CL_CR_GONE,
              answer.deviceName == kUnknownDevice ? std::wstring(argument) : answer.deviceName,
              std::nullopt};
    case kCrNotDisableable:
      return {IDS_CL_CR_NOT_DISABLEABLE, answer.deviceName, std::nullopt};
    case winvalues::kCrFailure:
      return {IDS_CL_CR_FAILURE, answer.deviceName, std::nullopt};
    default:
      return {IDS_CL_CR_OTHER, answer.deviceName, static_cast<int>(answer.result)};
  }
}

}  // namespace

std::optional<PromptLine> RemovalFailureReason(RemovalTarget target, std::wstring_view argument,
                                               bool placeFound,
                                               const std::vector<EjectAnswer>& answers,
                                               const std::vector<CardRefusal>& cards,
                                               unsigned requests) {
  if (!cards.empty())
    return PromptLine{IDS_CL_CARD_REFUSED, cards.back().deviceName,
                      static_cast<int>(cards.back().result.error)};
  if (answers.empty() && requests == 0)
    return PromptLine{NothingFoundText(target, placeFound), std::wstring(argument), std::nullopt};
  // The last refusal: when the same device was asked twice, the second answer is the
  // one that stands.
  for (auto it = answers.rbegin(); it != answers.rend(); ++it) {
    if (it->result == winvalues::kCrSuccess || it->result == winvalues::kCrRemoveVetoed) continue;
    return RefusedRequest(*it, argument);
  }
  return std::nullopt;
}
