// What the removal worker does on its thread: find and eject the registration's
// device, store its count, then congratulate or report the failure, unless the
// removal was abandoned meanwhile.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devices/DeviceRemoval.h"
#include "devices/HolderClosing.h"
#include "devices/VetoHolder.h"
#include "resident/RemovalJob.h"

class Prompter;
class SettingsFile;

// What one pass of the removal did: whether anything was ejected, and what was vetoed.
struct RemovalOutcome {
  bool found = false;
  std::vector<VetoedRequest> vetoes;
};

struct RemovalServices {
  // Ejects every device carrying `name`, counting each success on `record`.
  std::function<RemovalOutcome(const std::wstring& name, tag_device_hotkey_info& record)>
      findAndEject;
  // Shows the balloon when `count` is a milestone.
  std::function<void(const std::wstring& name, int count)> showBalloon;
  SettingsFile& settingsFile;
  Prompter& prompter;  // owned by the main window
  // Told once the removal is done: no request is left to make, who held a vetoed
  // device has been looked up and the count is stored; only the report follows. May be
  // empty.
  std::function<void()> removalDone = nullptr;
  // Who holds the device of a vetoed request, when the system can tell; may be empty.
  // Asked before the report begins, so that a forced stop still ends the removal there.
  VetoHolderFinder findHolder = nullptr;
  // Whether the veto message may offer to close a holder; empty: never.
  std::function<bool(const VetoHolder&)> mayOfferClose = nullptr;
  // Asks a holder to close and waits for it, before the removal of a retry the user
  // asked for with the close; empty: nothing is asked.
  std::function<HolderClose(const VetoHolder&, const RemovalStop&)> closeHolder = nullptr;
};

// Every veto is reported, whatever DISP_REJECT_ERR says: the system used to report it
// itself, and no longer does once a veto buffer is passed. Retry asks the main window,
// through the job, to run the removal of the same registration again; its third
// button, to do so once the holder has been asked to close. Always 0, the
// worker thread's exit code.
unsigned RemoveRegisteredDevice(RemovalJob& job, RemovalServices& services);
