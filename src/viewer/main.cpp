// oshv: the capture viewer that the capture batch file starts from Syst\Driver.
#include "ui/Application.h"
#include "viewer/ViewerRun.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication application;
    return RunViewer(application);
}
