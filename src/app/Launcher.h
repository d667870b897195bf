// The launch of the command-line box: its plan, decided whole first, then the
// values it asks, the capture batch file, the interpreter, and what is kept
// once the line ran.
#pragma once
#include "core/LaunchPlan.h"

#include <windows.h>

#include <exception>
#include <optional>
#include <string>

class TForm;
class TLaunchMemory;

class TLauncher {
public:
    // owner: the window that owns the consoles, the dialog and the error
    // boxes; memory: the values and the lines that ran.
    TLauncher(TForm& owner, TLaunchMemory& memory);

    // Runs box's line, as administrator when elevate; the box's text once it
    // ran (a capture shows its words first), or nothing when it did not run:
    // a refusal, a cancel or a failed start, each said, and nothing written.
    std::optional<std::string> Launch(const std::string& box, bool elevate);
    // Puts on the clipboard the command box's line would run, its values
    // asked first as for a launch; nothing runs and nothing is kept. A
    // faulty mark is said as a launch says it, and a cancel copies nothing.
    void Copy(const std::string& box);

    // Writes the capture batch file into the folder named by Temp.
    void GetBatTemp();
    // Temp when the capture batch file was last written, as ANSI calls reach
    // it (its short form for a name the ANSI code page lacks letters of).
    std::string TempDir;

private:
    TLaunchFacts Facts(const std::string& box, bool elevate);
    // What keeps a capture from working, checked before anything is asked.
    std::exception_ptr CaptureProblem();
    void Refuse(const TLaunchRefusal& refusal);
    // Every start of the interpreter: false when the user refused the
    // elevation, a file error when the system could not start it.
    bool RunInterpreter(HWND owner, bool runAs, const std::string& parameters);

    TForm& owner_;
    TLaunchMemory& memory_;
    std::exception_ptr captureProblem_;
};
