// The program's network: WinINet's probe and URLMON's download, each on a
// thread of its own that the caller waits for no longer than its time limit.
// URLMON.DLL is looked up on the first download (an Exception when it cannot be).
#pragma once
#include "ui/System.h"

// The one instance, which the program installs with SetNetwork.
TNetwork& Internet();
