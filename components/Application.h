// The application object: the hidden application window that owns every form, the
// forms themselves, the message loop and the exception display.
#pragma once

#include "components/Forms.h"
#include "components/SysUtils.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

class TApplication {
public:
    TApplication() = default;
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Creates the application window. Called once before anything else.
    void Initialize();

    const std::wstring& Title() const { return AppTitle; }
    void SetTitle(const std::wstring& title);

    // Stores the form's address in the reference before the form is constructed, so
    // that the creation handler can reach the form through it; a constructor that
    // throws leaves the reference null. The first form becomes the main form.
    template <class T> void CreateForm(T*& reference);

    // Shows the main form (and only it), then handles messages until the main form
    // closes.
    void Run();
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return IsTerminated; }

    // The default exception display: a message box owned by the application window.
    void ShowException(const Exception& e);

    HWND Handle() const { return Window.Get(); }
    TForm* MainForm() const { return Main; }
    TForm* FindForm(HWND window) const;

    // Destroys the forms, newest first, clears their references and forgets an
    // earlier Terminate.
    void DestroyForms();

private:
    struct TFormEntry {
        std::unique_ptr<TForm> Form;
        std::function<void()> ClearReference;
    };

    void AddForm(TForm* form, std::function<void()> clearReference);
    bool HandleMessage(bool wait);

    TWindowHandle Window;
    std::wstring AppTitle;
    std::vector<TFormEntry> Forms;
    TForm* Main = nullptr;
    bool IsTerminated = false;
};

extern TApplication* Application;

template <class T> void TApplication::CreateForm(T*& reference) {
    void* storage = ::operator new(sizeof(T));
    reference = static_cast<T*>(storage);
    T* form = nullptr;
    try {
        form = new (storage) T(nullptr);
    } catch (...) {
        reference = nullptr;
        ::operator delete(storage);
        throw;
    }
    AddForm(form, [&reference] { reference = nullptr; });
    form->DoCreate();
}
