// "/list /json": the devices as one JSON array for scripts (PowerShell's ConvertFrom-Json),
// one object a line. Property names are English whatever the language; values are the
// user's data, escaped so that no name, label or folder can break the text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commandline/CommandLineDevices.h"

// `text` as a JSON string, quotes included. `asciiOnly`: every other character as a
// \u escape, for an output whose code page may not carry it; a surrogate unpaired (a
// name Windows keeps as it was given) is escaped always, since no encoding carries it.
std::wstring JsonString(std::wstring_view text, bool asciiOnly);

// Each object: name (as the plain listing shows it), kind, drives (letters and mount
// folders), labels (by drive, where the volume has one), instanceId (null when none)
// and present. Lines end in CR LF.
std::wstring FormatDevicesJson(const std::vector<ListedDevice>& devices, bool asciiOnly);
