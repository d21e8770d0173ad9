// The program's entry point and its one application object.
#include "app/FoveaApp.h"

static CFoveaApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return RunApplication(instance, commandLine);
}
