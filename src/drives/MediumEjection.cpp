#include "drives/MediumEjection.h"

#include <string>

namespace {

constexpr int kLockTries = 20;
constexpr std::uint32_t kLockPauseMs = 100;

bool NoMediumError(std::uint32_t error) {
  return error == winvalues::kErrorNotReady || error == winvalues::kErrorNoMediaInDrive ||
         error == winvalues::kErrorFileNotFound;
}

bool InUseError(std::uint32_t error) {
  return error == winvalues::kErrorAccessDenied || error == winvalues::kErrorSharingViolation ||
         error == winvalues::kErrorLockViolation;
}

MediumResult FailureOf(std::uint32_t error) {
  return {NoMediumError(error) ? MediumOutcome::NoMedium : MediumOutcome::Failed, error};
}

std::uint32_t LockRetrying(RemovableMedium& medium, const LockRetryPause& pause) {
  std::uint32_t locked = medium.Lock();
  for (int tried = 1; locked != 0 && InUseError(locked) && pause && tried < kLockTries; ++tried) {
    if (!pause(kLockPauseMs)) break;
    locked = medium.Lock();
  }
  return locked;
}

}  // namespace

bool HasRemovableMedium(Drives& storage, wchar_t letter) {
  if (storage.DriveType(letter) != winvalues::kDriveRemovable) return false;
  const auto dosDevice = storage.DosDevice(letter);
  return dosDevice && dosDevice->find(L"\\Floppy") == std::wstring::npos;
}

MediumResult EjectMedium(Drives& storage, wchar_t letter, const LockRetryPause& pause) {
  if (!HasRemovableMedium(storage, letter)) return {};
  std::uint32_t error = 0;
  const std::unique_ptr<RemovableMedium> medium = storage.OpenMedium(letter, error);
  if (!medium) return FailureOf(error);
  if (const std::uint32_t locked = LockRetrying(*medium, pause); locked != 0)
    return InUseError(locked) ? MediumResult{MediumOutcome::InUse, locked} : FailureOf(locked);
  if (const std::uint32_t dismounted = medium->Dismount(); dismounted != 0)
    return FailureOf(dismounted);
  // A slot with no lock of its own answers that it cannot do this: nothing holds the
  // medium then, and the eject may go on.
  if (const std::uint32_t allowed = medium->AllowRemoval();
      allowed != 0 && allowed != winvalues::kErrorInvalidFunction)
    return FailureOf(allowed);
  if (const std::uint32_t ejected = medium->Eject(); ejected != 0) return FailureOf(ejected);
  return {MediumOutcome::Ejected, 0};
}
