#include "viewer/ViewerRun.h"

#include "core/Launch.h"
#include "ui/Files.h"
#include "ui/SingleInstance.h"
#include "ui/System.h"
#include "viewer/UnitViewer.h"

#include <memory>

std::string CaptureFilePath() {
    const std::string exe = Sys().ExecutablePath();
    return FullPath(exe.substr(0, exe.find_last_of("\\/") + 1) + CaptureFileFromViewerFolder());
}

int RunViewer(TApplication& application) {
    application.Title = "Visionneuse de capture";
    try {
        const std::string path = CaptureFilePath();
        TSingleInstance single(path);
        if (single.HandedOver())
            return 0;
        std::unique_ptr<TViewer> form(application.CreateForm<TViewer>(nullptr, path));
        single.OnRequest = [viewer = form.get()] { viewer->BringForward(); };
        application.Run();
    } catch (...) {
        application.QueueException(std::current_exception());
        application.ShowQueuedExceptions();
        return 1;
    }
    return 0;
}
