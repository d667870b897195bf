#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Rules for turning the command-line box into the interpreter's parameters.
// Words are compared with only the letters a to z folded, so accented
// Windows-1252 letters never match their capitals.

bool ContainsNoCase(std::string_view text, std::string_view word);

// "Edit+": capture the command's output for the viewer.
bool HasCaptureRequest(std::string_view line);
// A graphical tool: its console must close by itself once the tool is started.
bool HasToolWord(std::string_view line);

// Text with the first case-insensitive occurrence of word taken out.
std::string RemoveFirstNoCase(std::string_view text, std::string_view word);

enum class LaunchKind {
    Ordinary, // console stays open
    Tool,     // console closes
    Capture,  // output goes through the batch file to the viewer
    Mixed,    // capture together with a tool word: refused
};
LaunchKind ClassifyLine(std::string_view line);

std::string OrdinaryParameters(std::string_view line);
std::string ToolParameters(std::string_view line);
// remainder: the line with "Edit+" removed (RemoveFirstNoCase).
std::string CaptureParameters(std::string_view remainder);

// remainder as above; batchPath: the batch file's full path, for a console
// that may run under another account with another %temp%.
std::string CaptureParameters(std::string_view remainder, std::string_view batchPath);

// "Admin+": run the line in an administrator's console. The word is taken out
// of the line (RemoveFirstNoCase) before it is classified and run.
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

// The batch file written to the temporary folder before every capture.
// The longest line the interpreter runs: its own limit, which counts what the
// program puts before the user's line. Longer ones must not be passed on.
inline constexpr std::size_t kInterpreterLineMax = 8191;
bool InterpreterAccepts(std::string_view parameters);

// The batch file written to the temporary folder before every capture. It
// appends the output to CaptureFileName() in the current folder, then starts
// the viewer from ViewerPath() under that folder.
std::string_view CaptureBatchText();
std::string_view CaptureBatchName();
std::string_view CaptureWord();
std::string_view CaptureFileName();
std::string ViewerPath();
// The capture file as seen from the viewer's own folder ("..\\..\\EditCmd.TXT").
std::string CaptureFileFromViewerFolder();
