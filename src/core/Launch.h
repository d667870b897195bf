#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Rules for turning the command-line box into the interpreter's parameters.
// Words are compared with only the letters a to z folded, so accented
// Windows-1252 letters never match their capitals.

bool ContainsNoCase(std::string_view text, std::string_view word);
// Where word first stands in text, or npos.
std::size_t FindNoCase(std::string_view text, std::string_view word);

// "Edit+": capture the command's output for the viewer.
bool HasCaptureRequest(std::string_view line);
// A graphical tool: its console must close by itself once the tool is started.
bool HasToolWord(std::string_view line);

std::string OrdinaryParameters(std::string_view line);
std::string ToolParameters(std::string_view line);

// "Admin+": run the line in an administrator's console.
bool HasAdminRequest(std::string_view line);
std::string_view AdminWord();
// The line written back into the box after a capture: the request words
// found ("Admin+", "Edit+") first, in their own spelling and in the order
// typed, then the rest of the line, one blank after each. A word leaves with
// the blanks after it (at the end, those before it), so no gap stays.
std::string LineAfterCapture(std::string_view typed);
// An elevated interpreter starts in the system folder whatever folder it is
// handed: parameters (from the functions above) first change to folder,
// quoted so that blanks, "&" and parentheses stay part of its name.
std::string ElevatedParameters(std::string_view parameters, std::string_view folder);

// The longest line the interpreter runs: its own limit, which counts what the
// program puts before the user's line. Longer ones must not be passed on.
inline constexpr std::size_t kInterpreterLineMax = 8191;
bool InterpreterAccepts(std::string_view parameters);

// The batch file written to the temporary folder before every capture. It
// runs the line held by OSH_LINE in an interpreter of its own, so that the
// whole line, "&" and "|" included, lands in CaptureFileName() in the current
// folder after a header line (OSH_HEAD and the line), then starts the viewer
// from ViewerPath() under that folder.
std::string_view CaptureBatchText();
// The same steps on one line, for a console that runs them without the batch
// file: an elevated one, which must run nothing that the user's other
// programs could change between its writing and its run.
std::string_view CaptureInlineText();
std::string_view CaptureBatchName();
std::string_view CaptureWord();
std::string_view CaptureFileName();
std::string ViewerPath();
// The capture file as seen from the viewer's own folder ("..\\..\\EditCmd.TXT").
std::string CaptureFileFromViewerFolder();
