// What screen readers and keyboard users get from the main window: the lists
// and the command-line box named after their windowless labels, and the
// windowless speed buttons pressed from the keyboard.
#include "TestSupport.h"

#include "app/Unit1.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <memory>

namespace {

std::string ClassOf(HWND h) {
    char cls[64] = "";
    GetClassNameA(h, cls, sizeof cls);
    return cls;
}

// The name the accessibility API gives a window's client, in the ANSI code page.
std::optional<std::string> AccName(HWND h) {
    // Looked up at run time: oleacc's import library and uuid's both define the interface ids.
    using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static const auto fromWindow = reinterpret_cast<FromWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(LoadLibraryA("oleacc.dll"), "AccessibleObjectFromWindow")));
    IAccessible* acc = nullptr;
    if (!fromWindow || FAILED(fromWindow(h, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&acc))))
        return std::nullopt;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::optional<std::string> result;
    if (acc->get_accName(self, &name) == S_OK && name) {
        int n = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
        std::string s(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, name, -1, s.data(), n, nullptr, nullptr);
        s.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
        result = s;
        SysFreeString(name);
    }
    acc->Release();
    return result;
}

class Accessibility : public testing::Test {
protected:
    void SetUp() override {
        form_.reset(new TForm1(nullptr));
        form_->SetBounds(100, 100, form_->Width(), form_->Height());
        form_->HandleNeeded();
        PumpMessages();
    }
    // The window just before a control in z-order: a hidden static with the label's text.
    void ExpectNameLabel(TWinControl& control, const TLabel& label) {
        SCOPED_TRACE(label.Caption());
        HWND before = GetWindow(control.Handle(), GW_HWNDPREV);
        ASSERT_NE(before, nullptr);
        EXPECT_EQ(ClassOf(before), "Static");
        EXPECT_EQ(WindowTextOf(before), label.Caption());
        EXPECT_FALSE(IsWindowVisible(before));
        EXPECT_EQ(control.AccessibleName(), label.Caption());
    }
    // Feeds a key-down through the application's loop, as the keyboard would.
    void Key(UINT message, WORD vk, bool alt = false) {
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE saved = keys[VK_MENU];
        keys[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg{form_->edtCmdLine.Handle(), message, vk, alt ? (1 << 29) : 0, 0, {}};
        Application->DispatchOne(msg);
        keys[VK_MENU] = saved;
        SetKeyboardState(keys);
    }
    TRecordingSystem sys_;
    std::unique_ptr<TForm1> form_;
};

TEST_F(Accessibility, ListsAndCommandLineCarryTheirLabelsNames) {
    ExpectNameLabel(form_->cbbListCPL, form_->lblListCPL);
    ExpectNameLabel(form_->cbbListSyst, form_->lblListSystem);
    ExpectNameLabel(form_->edtCmdLine, form_->lblExecuter);
    ExpectNameLabel(form_->cbbListCustom, form_->lblListCustom);
    // Wine's accessibility names an edit box after the static before it; it
    // names no combo box (see README).
    EXPECT_EQ(AccName(form_->edtCmdLine.Handle()), form_->lblExecuter.Caption());

    // The names stay in place when the tab order is threaded again, and follow
    // the label's text.
    form_->cbbListCPL.SetTabOrder(0);
    form_->lblExecuter.SetCaption("Ligne de &commande");
    ExpectNameLabel(form_->cbbListCPL, form_->lblListCPL);
    HWND before = GetWindow(form_->edtCmdLine.Handle(), GW_HWNDPREV);
    EXPECT_EQ(WindowTextOf(before), "Ligne de commande");
    EXPECT_EQ(AccName(form_->edtCmdLine.Handle()), "Ligne de commande");
}

TEST_F(Accessibility, NamesWaitUntilTheWindowIsIdle) {
    // Made before the first paint, they would delay it: none until the queue is empty.
    std::unique_ptr<TForm1> form(new TForm1(nullptr));
    form->HandleNeeded();
    for (TWinControl* c : std::initializer_list<TWinControl*>{
             &form->cbbListCPL, &form->cbbListSyst, &form->edtCmdLine, &form->cbbListCustom})
        EXPECT_EQ(c->NameLabelHandle(), nullptr);
    // A name given meanwhile is the one made.
    form->lblExecuter.SetCaption("Ligne");
    PumpMessages();
    ExpectNameLabel(form->cbbListCPL, form->lblListCPL);
    ExpectNameLabel(form->edtCmdLine, form->lblExecuter);
}

TEST_F(Accessibility, NameLabelsTakeNoTabStopAndShowNothing) {
    // Tab goes from control to control as before: no static is ever a stop.
    HWND h = form_->Handle();
    HWND first = GetNextDlgTabItem(h, nullptr, FALSE);
    HWND c = first;
    int stops = 0;
    do {
        EXPECT_NE(ClassOf(c), "Static");
        c = GetNextDlgTabItem(h, c, FALSE);
    } while (c && c != first && ++stops < 20);
    EXPECT_EQ(first, form_->edtCmdLine.Handle());
    for (HWND child = GetWindow(h, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Static") {
            RECT r;
            GetWindowRect(child, &r);
            EXPECT_TRUE(IsRectEmpty(&r));
            EXPECT_FALSE(GetWindowLongPtrA(child, GWL_STYLE) & (WS_VISIBLE | WS_TABSTOP));
        }
}

// The menu's own loop runs the timer: the first tick that finds it reads its corner and closes it.
POINT menuCorner{-1, -1};
bool menuSeen = false;
void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND menu = FindWindowA("#32768", nullptr); menu && IsWindowVisible(menu) && !menuSeen) {
        RECT r;
        GetWindowRect(menu, &r);
        menuCorner = {r.left, r.top};
        menuSeen = true;
        EndMenu();
    }
}

TEST_F(Accessibility, F1OpensTheInformationMenuBelowItsButton) {
    menuSeen = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, &ReadAndCloseMenu);
    Key(WM_KEYDOWN, VK_F1);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(menuSeen) << "no menu on screen";
    POINT want{form_->btnInfos.Left(), form_->btnInfos.Top() + form_->btnInfos.Height()};
    ClientToScreen(form_->Handle(), &want);
    EXPECT_EQ(menuCorner.x, want.x);
    EXPECT_EQ(menuCorner.y, want.y);
    EXPECT_TRUE(sys_.ShellCalls.empty()) << "closing the menu chooses nothing";
}

TEST_F(Accessibility, AltNPressesNewVersionOnlyWhenItShows) {
    int clicks = 0;
    form_->btnNewVersionDispo.OnClick = [&](TObject*) { ++clicks; };
    Key(WM_SYSKEYDOWN, 'N', true);
    EXPECT_EQ(clicks, 0) << "hidden: nothing to press";
    form_->btnNewVersionDispo.Show();
    Key(WM_KEYDOWN, 'N');
    EXPECT_EQ(clicks, 0) << "N alone is typed into the box";
    Key(WM_SYSKEYDOWN, 'N', true);
    EXPECT_EQ(clicks, 1);
    form_->btnNewVersionDispo.SetEnabled(false);
    Key(WM_SYSKEYDOWN, 'N', true);
    EXPECT_EQ(clicks, 1);
}

} // namespace
