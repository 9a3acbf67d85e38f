#include "app/SingleInstance.h"

#include "common/WinValues.h"

bool OtherInstanceHoldsMutex(bool created, unsigned long lastError) {
  return created ? lastError == winvalues::kErrorAlreadyExists
                 : lastError == winvalues::kErrorAccessDenied;
}
