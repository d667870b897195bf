#include "ui/Application.h"
#include "viewer/UnitViewer.h"

#include "core/CaptureText.h"
#include "ui/Files.h"
#include "ui/System.h"

#include <algorithm>
#include <iterator>

TViewer* Viewer = nullptr;

namespace {
// Font heights offered by Ctrl + / Ctrl -, in design pixels.
const int kFontHeights[] = {9, 10, 11, 12, 13, 14, 15, 16, 18, 20, 22, 24, 28, 32, 36, 42, 48};
const int kDefaultFontStep = 6;
// Beyond this the window shows the end of the file only: an EDIT control with
// hundreds of megabytes would take minutes, and the newest capture is at the end.
const unsigned long long kShownBytes = 1ull << 20;
const unsigned kWatchMs = 500;

std::wstring Widen(const std::string& s, UINT codePage) {
    if (s.empty())
        return {};
    int n = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// The program's own texts are Windows-1252 literals; paths and system
// messages come in the system's ANSI code page.
std::wstring Text1252(const std::string& s) {
    return Widen(s, 1252);
}

std::u16string FromOem(std::string_view bytes) {
    // The capture batch file switches the console to code page 850.
    UINT cp = IsValidCodePage(850) ? 850 : CP_OEMCP;
    std::u16string out;
    size_t done = 0;
    while (done < bytes.size()) {
        const int chunk = static_cast<int>(std::min<size_t>(bytes.size() - done, 1u << 24));
        int n = MultiByteToWideChar(cp, 0, bytes.data() + done, chunk, nullptr, 0);
        size_t at = out.size();
        out.resize(at + static_cast<size_t>(n));
        MultiByteToWideChar(cp, 0, bytes.data() + done, chunk, reinterpret_cast<wchar_t*>(&out[at]),
                            n);
        done += static_cast<size_t>(chunk);
    }
    return out;
}

std::u16string_view View(const std::wstring& w) {
    return {reinterpret_cast<const char16_t*>(w.data()), w.size()};
}

std::wstring Folded(std::wstring w) {
    if (!w.empty())
        CharLowerBuffW(w.data(), static_cast<DWORD>(w.size()));
    return w;
}

std::string Folder(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
} // namespace

TViewer::TViewer(TComponent* owner, const std::string& path)
    : TForm(owner), path_(FullPath(path)), fontStep_(kDefaultFontStep) {
    Viewer = this;
    Name = "Viewer";
    SetCaption(FileName(path_) + " - " + Folder(path_));
    BorderStyle = bsSizeable;
    Position = poScreenCenter;
    KeyPreview = true;
    Font = TFont("MS Sans Serif", 11, clWindowText);
    SetClientSize(Scale(760), Scale(480));
    DefaultButton = &btnFindNext;

    lblFind.SetParent(this);
    lblFind.SetCaption("&Rechercher :");
    lblFind.SetDesignBounds(8, 11, 0, 0);
    lblFind.AdjustBounds();
    lblFind.SetFocusControl(&edtFind);

    edtFind.SetParent(this);
    edtFind.SetDesignBounds(78, 7, 180, 21);
    edtFind.SetHint("Texte à rechercher (Ctrl+F), sans tenir compte des majuscules");
    edtFind.SetTabOrder(1);

    struct {
        TButton& button;
        const char* caption;
        int left, width;
        const char* hint;
    } buttons[] = {
        {btnFindNext, "&Suivant", 264, 70, "Occurrence suivante (F3), précédente (Maj+F3)"},
        {btnCopy, "&Copier", 346, 70, "Copier la sélection (Ctrl+C)"},
        {btnSelectAll, "&Tout sélectionner", 420, 110, "Sélectionner tout le texte (Ctrl+A)"},
        {btnSmaller, "A -", 542, 34, "Réduire les caractères (Ctrl -, Ctrl + molette)"},
        {btnLarger, "A +", 578, 34, "Agrandir les caractères (Ctrl +, Ctrl + molette)"},
        {btnClear, "&Vider", 624, 70, "Vider le fichier de capture"},
    };
    int order = 2;
    for (auto& b : buttons) {
        b.button.SetParent(this);
        b.button.SetCaption(b.caption);
        b.button.SetDesignBounds(b.left, 5, b.width, 25);
        b.button.SetHint(b.hint);
        b.button.SetTabOrder(order++);
    }

    memoCapture.SetParent(this);
    memoCapture.ParentFont = false;
    memoCapture.FixedPitch = true;
    memoCapture.Font = TFont("Courier New", kFontHeights[kDefaultFontStep], clWindowText);
    memoCapture.SetDesignBounds(0, 36, 760, 444);
    memoCapture.SetTabOrder(0);

    Confirm = [this](const std::string& question) {
        return ::MessageBoxA(Handle(), question.c_str(), Caption().c_str(),
                             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnResize = [this](TObject* s) { FormResize(s); };
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    OnKeyPress = [this](TObject* s, char& k) { FormKeyPress(s, k); };
    btnFindNext.OnClick = [this](TObject* s) { btnFindNextClick(s); };
    btnCopy.OnClick = [this](TObject* s) { btnCopyClick(s); };
    btnSelectAll.OnClick = [this](TObject* s) { btnSelectAllClick(s); };
    btnSmaller.OnClick = [this](TObject* s) { btnSmallerClick(s); };
    btnLarger.OnClick = [this](TObject* s) { btnLargerClick(s); };
    btnClear.OnClick = [this](TObject* s) { btnClearClick(s); };
    memoCapture.OnZoom = [this](TObject* s, int n) { memoCaptureZoom(s, n); };
    tmrWatch.OnTimer = [this](TObject* s) { tmrWatchTimer(s); };
}

void TViewer::FormCreate(TObject*) {
    Reload();
    tmrWatch.SetInterval(kWatchMs);
    tmrWatch.SetEnabled(true);
}

void TViewer::FormResize(TObject*) {
    RECT r = ClientRect();
    const int top = Scale(36);
    memoCapture.SetBounds(0, top, r.right, std::max<int>(0, r.bottom - top));
}

TViewer::TStamp TViewer::Stamp() const {
    TStamp s;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        s.exists = true;
        s.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        s.written = data.ftLastWriteTime;
    }
    return s;
}

void TViewer::ShowText(const std::wstring& text, bool isCapture) {
    memoCapture.SetText(text);
    folded_ = isCapture ? Folded(text) : std::wstring();
    // A capture's newest lines are at its end; a notice reads from its start.
    if (isCapture)
        memoCapture.ScrollToEnd();
    else
        memoCapture.Select(0, 0);
}

void TViewer::Reload() {
    shown_ = Stamp();
    btnClear.SetEnabled(shown_.exists && shown_.size > 0);
    // Others keep writing the file while it is shown: share everything.
    TFileHandle f(CreateFileA(path_.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) {
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
            ShowText(Text1252("Aucune capture pour l'instant : le fichier \"") +
                         Widen(path_, CP_ACP) +
                         Text1252("\" n'existe pas.\r\n\r\nDans Orbitashell, faites précéder une "
                                  "commande de Edit+ pour capturer ce qu'elle affiche."),
                     false);
        else
            ShowText(Text1252("Impossible de lire le fichier \"") + Widen(path_, CP_ACP) + L"\". " +
                         Widen(SysErrorMessage(err), CP_ACP) + L".",
                     false);
        return;
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(f.Get(), &size);
    const unsigned long long total = static_cast<unsigned long long>(size.QuadPart);
    if (total == 0) {
        ShowText(Text1252("Le fichier de capture est vide."), false);
        return;
    }
    const unsigned long long want = std::min(total, kShownBytes);
    LARGE_INTEGER from{};
    from.QuadPart = static_cast<LONGLONG>(total - want);
    SetFilePointerEx(f.Get(), from, nullptr, FILE_BEGIN);
    std::string bytes(static_cast<size_t>(want), '\0');
    DWORD got = 0;
    if (!ReadFile(f.Get(), bytes.data(), static_cast<DWORD>(want), &got, nullptr)) {
        const DWORD err = GetLastError();
        ShowText(Text1252("Impossible de lire le fichier \"") + Widen(path_, CP_ACP) + L"\". " +
                     Widen(SysErrorMessage(err), CP_ACP) + L".",
                 false);
        return;
    }
    bytes.resize(got);
    std::wstring notice;
    std::string_view shown = bytes;
    if (want < total) {
        shown.remove_prefix(CaptureTailStart(shown));
        notice = Text1252("[Le fichier fait " + std::to_string((total + (1 << 19)) >> 20) +
                          " Mo : seul son dernier Mo est affiché.]\r\n\r\n");
    }
    const std::u16string text = DecodeCapture(shown, FromOem);
    ShowText(notice + std::wstring(text.begin(), text.end()), true);
}

void TViewer::BringForward() {
    HWND h = Handle();
    if (IsIconic(h))
        ShowWindow(h, SW_RESTORE);
    Show();
    Reload();
    SetForegroundWindow(h);
    memoCapture.SetFocus();
}

bool TViewer::FindNext(bool forward) {
    const std::wstring needle = Folded(Widen(edtFind.Text(), CP_ACP));
    if (needle.empty()) {
        edtFind.SetFocus();
        return false;
    }
    const auto [start, end] = memoCapture.Selection();
    const auto at = FindInText(View(folded_), View(needle), forward ? end : start, forward);
    if (!at) {
        Sys().Beep(MB_ICONASTERISK);
        return false;
    }
    memoCapture.Select(*at, *at + needle.size());
    return true;
}

void TViewer::Zoom(int steps) {
    const int last = static_cast<int>(std::size(kFontHeights)) - 1;
    const int step = std::clamp(fontStep_ + steps, 0, last);
    if (step == fontStep_)
        return;
    fontStep_ = step;
    memoCapture.Font.SetHeight(kFontHeights[step]);
}

void TViewer::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    const bool ctrl = Shift == ssCtrl;
    if (Key == VK_F3 && !(Shift & (ssCtrl | ssAlt))) {
        FindNext(!(Shift & ssShift));
    } else if (ctrl && Key == 'F') {
        edtFind.SetFocus();
        SendMessageA(edtFind.Handle(), EM_SETSEL, 0, -1);
    } else if (ctrl && Key == 'A') {
        if (edtFind.Focused())
            SendMessageA(edtFind.Handle(), EM_SETSEL, 0, -1);
        else
            memoCapture.SelectAll();
    } else if (ctrl && Key == 'C' && !edtFind.Focused()) {
        memoCapture.CopyToClipboard();
    } else if ((Shift & ssCtrl) && (Key == VK_ADD || Key == VK_OEM_PLUS)) {
        Zoom(1);
    } else if (ctrl && (Key == VK_SUBTRACT || Key == VK_OEM_MINUS || Key == '6')) {
        // '6' carries the minus sign on a French keyboard.
        Zoom(-1);
    } else if (ctrl && (Key == '0' || Key == VK_NUMPAD0)) {
        Zoom(kDefaultFontStep - fontStep_);
    } else {
        return;
    }
    Key = 0;
}

void TViewer::FormKeyPress(TObject*, char& Key) {
    if (Key == '\x1b') {
        Key = 0;
        Close();
    }
}

void TViewer::btnFindNextClick(TObject*) {
    FindNext(true);
}

void TViewer::btnCopyClick(TObject*) {
    memoCapture.CopyToClipboard();
}

void TViewer::btnSelectAllClick(TObject*) {
    memoCapture.SelectAll();
    memoCapture.SetFocus();
}

void TViewer::btnSmallerClick(TObject*) {
    Zoom(-1);
}

void TViewer::btnLargerClick(TObject*) {
    Zoom(1);
}

void TViewer::memoCaptureZoom(TObject*, int Steps) {
    Zoom(Steps);
}

void TViewer::btnClearClick(TObject*) {
    if (!Confirm("Vider le fichier de capture \"" + path_ +
                 "\" ?\r\n\r\nTout ce qu'il contient sera effacé."))
        return;
    // Opened as it stands and cut to nothing: a file deleted meanwhile is not
    // created again.
    TFileHandle f(CreateFileA(path_.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid() || !SetEndOfFile(f.Get())) {
        const DWORD err = GetLastError();
        Reload();
        throw EFCreateError("Impossible de vider le fichier \"" + path_ + "\". " +
                            SysErrorMessage(err));
    }
    Reload();
}

void TViewer::tmrWatchTimer(TObject*) {
    if (!(Stamp() == shown_))
        Reload();
}
