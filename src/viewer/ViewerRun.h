// The viewer's start, apart from WinMain so that tests can run it.
#pragma once
#include "ui/Application.h"

#include <string>

// The capture file: two folders above the viewer's own (the batch file starts
// it from Syst\Driver under the folder that holds the capture), whatever the
// current folder, by a path that ANSI calls reach (the short form of a folder
// whose name the ANSI code page lacks letters of); an Exception when none does.
std::string CaptureFilePath();

// Hands over to a viewer already showing the file, or opens the window and
// runs the loop. A failure is shown in the application error box rather than
// ending the program silently; the result is then 1.
int RunViewer(TApplication& application);
