// oshv: the capture viewer that the capture batch file starts from Syst\Driver.
#include "ui/Application.h"
#include "ui/Files.h"
#include "ui/SingleInstance.h"
#include "viewer/UnitViewer.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication application;
    application.Title = "Visionneuse de capture";
    // The batch file starts the viewer in Syst\Driver; the capture lies two folders up.
    const std::string path = FullPath("..\\..\\EditCmd.TXT");
    TSingleInstance single(path);
    if (single.HandedOver())
        return 0;
    TViewer* form = application.CreateForm<TViewer>(nullptr, path);
    single.OnRequest = [form] { form->BringForward(); };
    application.Run();
    delete form;
    return 0;
}
