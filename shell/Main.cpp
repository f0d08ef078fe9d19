// The program's entry point: the single-instance guard, the application object, the
// three windows and the message loop.
#include "components/Application.h"
#include "forms/Logoform.h"
#include "forms/Mainform.h"
#include "forms/Settingform.h"
#include "shell/SingleInstance.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!AcquireSingleInstance()) {
        ShowAlreadyRunningWarning();
        return 1;
    }
    try {
        Application->Initialize();
        Application->SetTitle(L"とまりん");
        Application->CreateForm(FmMain);
        Application->CreateForm(FmSetting);
        Application->CreateForm(FmLogo);
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(Exception(L""));
    }
    return 0;
}
