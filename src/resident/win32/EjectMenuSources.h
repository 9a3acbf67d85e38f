// The eject menu as it stands now: the devices plugged in, their drives and volume
// labels, read from the running system at each opening.
#pragma once

#include <vector>

#include "resident/EjectMenu.h"
#include "resident/win32/ResidentContext.h"

std::vector<EjectMenuItem> CurrentEjectMenu(const std::vector<tag_device_hotkey_info>& table,
                                            const ResidentContext& context);
