#include "viewer/ViewerRun.h"

#include "core/Launch.h"
#include "ui/AnsiPaths.h"
#include "ui/Exceptions.h"
#include "ui/SingleInstance.h"
#include "ui/System.h"
#include "viewer/UnitViewer.h"

#include <memory>

std::string CaptureFilePath() {
    const std::wstring exe = Sys().ExecutablePath();
    const std::wstring path =
        exe.substr(0, exe.find_last_of(L"\\/") + 1) + Widened(CaptureFileFromViewerFolder());
    if (auto reached = AnsiFullPath(path))
        return *reached;
    const std::string shown = ShownPath(path);
    throw Exception("Le nom du dossier de la capture \"" + shown.substr(0, shown.rfind('\\')) +
                    "\" contient des caractères que Windows-1252 n'a pas, et Windows ne donne "
                    "pas de nom court (8.3) à ce dossier : la capture ne peut pas y être lue.");
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
