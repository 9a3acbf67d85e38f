#include "drives/MediumEjection.h"

#include <string>

namespace {

bool NoMediumError(std::uint32_t error) {
  return error == winvalues::kErrorNotReady || error == winvalues::kErrorNoMediaInDrive ||
         error == winvalues::kErrorFileNotFound;
}

MediumOutcome FailureOf(std::uint32_t error) {
  return NoMediumError(error) ? MediumOutcome::NoMedium : MediumOutcome::Failed;
}

}  // namespace

bool HasRemovableMedium(Drives& storage, wchar_t letter) {
  if (storage.DriveType(letter) != winvalues::kDriveRemovable) return false;
  const auto dosDevice = storage.DosDevice(letter);
  return dosDevice && dosDevice->find(L"\\Floppy") == std::wstring::npos;
}

MediumOutcome EjectMedium(Drives& storage, wchar_t letter) {
  if (!HasRemovableMedium(storage, letter)) return MediumOutcome::NoMedium;
  std::uint32_t error = 0;
  const std::unique_ptr<RemovableMedium> medium = storage.OpenMedium(letter, error);
  if (!medium) return FailureOf(error);
  if (const std::uint32_t locked = medium->Lock(); locked != 0) {
    if (locked == winvalues::kErrorAccessDenied || locked == winvalues::kErrorSharingViolation ||
        locked == winvalues::kErrorLockViolation)
      return MediumOutcome::InUse;
    return FailureOf(locked);
  }
  if (const std::uint32_t dismounted = medium->Dismount(); dismounted != 0)
    return FailureOf(dismounted);
  // A slot with no lock of its own answers that it cannot do this: nothing holds the
  // medium then, and the eject may go on.
  if (const std::uint32_t allowed = medium->AllowRemoval();
      allowed != 0 && allowed != winvalues::kErrorInvalidFunction)
    return FailureOf(allowed);
  if (const std::uint32_t ejected = medium->Eject(); ejected != 0) return FailureOf(ejected);
  return MediumOutcome::Ejected;
}
