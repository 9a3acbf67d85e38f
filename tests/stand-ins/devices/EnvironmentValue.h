// What the test wrote into a stand-in's process environment (tree file, log paths),
// for the stand-in DLLs; Windows builds only.
#pragma once

#include <string>

// The variable's value; empty when it is not set or cannot be read whole.
std::wstring EnvironmentValue(const wchar_t* name);
