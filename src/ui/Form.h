// Top-level windows: the main window and the modal dialogs.
#pragma once
#include "ui/Controls.h"
#include "ui/Timer.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum TPosition { poDesigned, poScreenCenter };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };
enum TShiftStateFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;
// The modifier keys held as the message being handled was sent.
TShiftState KeyboardShiftState();

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    TFormBorderStyle BorderStyle = bsSizeable;
    unsigned BorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition Position = poDesigned;
    // The form sees key presses (OnKeyPress) before its controls.
    bool KeyPreview = false;
    // Pressed by Enter when enabled; a button that becomes the default registers itself.
    TWinControl* DefaultButton = nullptr;
    int ModalResult = mrNone;

    // A dialog box's window: its name and caption, a dialog frame with only
    // the close button, centred on the screen, seeing keys first, in font.
    void SetUpDialog(const char* name, const std::string& caption, const TFont& font);
    void SetClientSize(int width, int height);
    void SetClientWidth(int width);
    int ClientWidth() const;
    int ClientHeight() const;

    TNotifyEvent OnCreate;
    // Raised once, at the form's first activation; coming back to it from a
    // dialog of the program or from another application does not raise it.
    TNotifyEvent OnActivate;
    TNotifyEvent OnShow;
    // Every loss of the activation, and every move of the window.
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnMove;
    std::function<void(TObject* Sender, char& Key)> OnKeyPress;
    // With KeyPreview, each key-down (a virtual-key code) before its control;
    // setting Key to 0 keeps it from the control.
    std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)> OnKeyDown;
    TNotifyEvent OnResize;
    std::function<void(TObject* Sender, bool& CanClose)> OnCloseQuery;

    void Show();
    void Hide();
    void Close();
    int ShowModal();
    // Destroys the form once the messages already queued for it are handled.
    void Release();
    bool Modal() const { return modal_; }
    bool Activated() const { return activated_; }

    // Called by the message loop before dialog navigation; true when handled.
    bool PreviewKey(MSG& msg);
    void UpdateHint(TControl* control) override;
    void DefaultButtonChanged(TWinControl* button, bool isDefault) override;
    // Made once the window is idle after its first paint; null until then.
    HWND Tooltip() const { return tooltip_; }
    // What is not seen at first, the tooltip window and the screen readers'
    // names, made now rather than once the window is idle; at most once.
    void MakeUnseenWindows();
    // Runs the creation handler as the toolkit does once the window exists.
    void DoCreate();
    // The form's own bounds come from the system (WM_DPICHANGED's rectangle).
    void ChangeScale(int pixelsPerInch) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void AfterCreateWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool DefersUnseenWindows() const override { return !unseenMade_; }

private:
    void CenterOnScreen();
    void AddTool(TControl* c);
    void AddToolsAndNames(TWinControl* parent);
    HWND tooltip_ = nullptr;
    // A timer's message comes after every paint: the unseen windows wait for it.
    TTimer idle_{this};
    bool unseenMade_ = false;
    HWND lastFocus_ = nullptr;
    bool modal_ = false;
    bool activated_ = false;
    bool shownOnce_ = false;
    int clientWidth_ = -1, clientHeight_ = -1;
};
