// Where the program works: its own folder, whose files it names by a path
// that ANSI calls reach whatever the letters of the folder's name, and the
// current folder, where the capture and the viewer go.
#pragma once
#include <optional>
#include <string>

// The program's folder with its final separator, as ANSI calls reach it (its
// short 8.3 form where the ANSI code page lacks letters of its name). Started
// from a folder without "Syst", the program's own folder becomes the current
// one when it holds "Syst". Nothing, after the error box naming the folder,
// when that folder or the current one has no name that ANSI calls reach.
std::optional<std::string> SettleInProgramFolder();
