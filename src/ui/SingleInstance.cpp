#include "ui/SingleInstance.h"

#include "core/Ascii.h"
#include "ui/Application.h"

namespace {
const char kListenerClass[] = "ToolkitSingleInstance";
const UINT kRequest = WM_APP + 0x10;
const LRESULT kAnswer = 0x5A11;

// Kernel object names allow no backslash past the namespace, and the key's
// letter case must not matter for paths.
std::string ObjectName(const std::string& key) {
    std::string name = "Local\\";
    for (char c : key)
        name += c == '\\' ? '/' : AsciiUpper(c);
    return name.substr(0, MAX_PATH - 1);
}
} // namespace

TSingleInstance::TSingleInstance(const std::string& key) : name_(ObjectName(key)) {}

TSingleInstance::~TSingleInstance() {
    if (window_)
        DestroyWindow(window_);
    if (mutex_)
        CloseHandle(mutex_);
}

bool TSingleInstance::HandedOver() {
    mutex_ = CreateMutexA(nullptr, FALSE, name_.c_str());
    // An instance running as administrator owns a mutex that one of lower
    // rights may not open: refused access means that it exists too.
    const DWORD created = GetLastError();
    const bool exists =
        created == ERROR_ALREADY_EXISTS || (!mutex_ && created == ERROR_ACCESS_DENIED);
    if (exists) {
        // The first instance may still be starting: give it a moment to listen.
        for (int tries = 0; tries < 60; ++tries) {
            if (HWND other = FindWindowExA(nullptr, nullptr, kListenerClass, name_.c_str())) {
                DWORD pid = 0;
                GetWindowThreadProcessId(other, &pid);
                AllowSetForegroundWindow(pid);
                DWORD_PTR answer = 0;
                if (SendMessageTimeoutA(other, kRequest, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) &&
                    answer == static_cast<DWORD_PTR>(kAnswer))
                    return true;
                break;
            }
            Sleep(50);
        }
    }
    Listen();
    return false;
}

void TSingleInstance::Listen() {
    static const ATOM atom = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &TSingleInstance::WndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kListenerClass;
        return RegisterClassExA(&wc);
    }();
    if (!atom)
        throw Exception("RegisterClassEx: " + SysErrorMessage(GetLastError()));
    // A hidden top-level window, not a message-only one: under Wine, the
    // message-only windows of a program started while the desktop was being
    // made are not among those that another program's FindWindowEx lists.
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kListenerClass, name_.c_str(), WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window_)
        throw Exception("CreateWindowEx: " + SysErrorMessage(GetLastError()));
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // An instance running as administrator must still hear a later one of
    // lower rights, which the system would otherwise keep from sending.
    // Without it only that handover is lost, which is no reason to stop.
    ChangeWindowMessageFilterEx(window_, kRequest, MSGFLT_ALLOW, nullptr);
}

LRESULT CALLBACK TSingleInstance::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == kRequest) {
        auto* self = reinterpret_cast<TSingleInstance*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        // Answer first, so the second instance ends even if the reload fails.
        ReplyMessage(kAnswer);
        if (self && self->OnRequest) {
            try {
                self->OnRequest();
            } catch (...) {
                // The request comes from another process: the loop shows it
                // once this message has returned.
                if (Application)
                    Application->QueueException(std::current_exception());
            }
        }
        return kAnswer;
    }
    return DefWindowProcA(h, msg, wp, lp);
}
