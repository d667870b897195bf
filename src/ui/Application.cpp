#include "ui/Application.h"

#include "core/Captions.h"
#include "ui/Form.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>

TApplication* Application = nullptr;

TApplication::TApplication() {
    Application = this;
    char path[MAX_PATH]{};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    Title.assign(path, n < MAX_PATH ? n : 0);
    Title.erase(0, Title.find_last_of("\\/") + 1);
    Title.erase(std::min(Title.find_last_of('.'), Title.size()));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
}

TApplication::~TApplication() {
    OleUninitialize();
    if (Application == this)
        Application = nullptr;
}

void TApplication::FormCreated(TForm* form) {
    form->DoCreate();
}

void TApplication::Run() {
    // A failure while the forms were created comes before the window.
    ShowQueuedExceptions();
    if (MainForm && ShowMainForm)
        MainForm->Show();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchOne(msg);
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

bool TApplication::QuitRequested() const {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchOne(msg);
    }
}

void TApplication::DispatchOne(MSG& msg) {
    DispatchMessageOnly(msg);
    ShowQueuedExceptions();
}

void TApplication::DispatchMessageOnly(MSG& msg) {
    try {
        if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
            msg.message == WM_MOUSELEAVE) {
            if (auto* form =
                    dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
                form && form->Tooltip())
                SendMessageA(form->Tooltip(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            HWND root = GetAncestor(msg.hwnd, GA_ROOT);
            if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root))) {
                if (form->PreviewKey(msg))
                    return;
                if (IsDialogMessageA(root, &msg))
                    return;
            }
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    } catch (...) {
        QueueException(std::current_exception());
    }
}

void TApplication::QueueException(std::exception_ptr e) noexcept {
    try {
        queued_.push_back(std::move(e));
        // Wakes the loop when the failure came from a message sent from outside it.
        PostMessageA(nullptr, WM_NULL, 0, 0);
    } catch (...) {
        // No memory left even to remember it: nothing better can be done.
    }
}

void TApplication::ShowQueuedExceptions() {
    if (showingQueued_)
        return;
    showingQueued_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{showingQueued_};
    while (!queued_.empty()) {
        std::exception_ptr e = std::move(queued_.front());
        queued_.pop_front();
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& failure) {
            HandleException(failure);
        } catch (...) {
            HandleException(Exception("Erreur inattendue"));
        }
    }
}

void TApplication::HandleException(const std::exception& e) {
    std::string message = e.what();
    if (OnException)
        OnException(message);
    else
        ShowException(message);
}

void TApplication::ShowException(const std::string& message) {
    HWND owner = GetActiveWindow();
    ::MessageBoxA(owner, WithFinalPeriod(message).c_str(), Title.c_str(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, UINT flags) {
    return ::MessageBoxA(GetActiveWindow(), text.c_str(), Title.c_str(), flags);
}
