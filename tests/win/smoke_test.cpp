#include "TestSupport.h"

#include "app/Unit1.h"

#include <gtest/gtest.h>

// The main window comes up with its design caption and its lists.
TEST(Smoke, MainWindowCreates) {
    TRecordingSystem sys;
    TDialogWatcher watcher;
    std::string dir = MakeScratchDir("smoke");
    sys.ExePath = dir + "\\Orbitashell.exe";
    WriteBytes(dir + "\\COMMANDESCPL.TXT", "control\r\n");
    WriteBytes(dir + "\\COMMANDESSYST.TXT", "ipconfig (x)\r\nver\r\n");
    auto* form = Application->CreateForm<TForm1>();
    EXPECT_EQ(form->cbbListSyst.ItemCount(), 2);
    EXPECT_EQ(form->BaseCaption, "Orbitashell v 2.2.0");
    delete form;
    RemoveTree(dir);
}
