// The capture viewer: shows EditCmd.TXT, which the capture batch file appends
// to, scrolled to its end, and follows it as it grows.
#pragma once
#include "ui/Form.h"
#include "ui/StdCtrls.h"
#include "ui/Timer.h"
#include "ui/WideMemo.h"

#include <functional>
#include <string>

class TViewer : public TForm {
public:
    // path: the capture file, as given (relative to the current folder or not).
    TViewer(TComponent* owner, const std::string& path);

    TLabel lblFind{this};
    TEdit edtFind{this};
    TButton btnFindNext{this};
    TButton btnCopy{this};
    TButton btnSelectAll{this};
    TButton btnSmaller{this};
    TButton btnLarger{this};
    TButton btnClear{this};
    TWideMemo memoCapture{this};
    TTimer tmrWatch{this};

    // Asks the user before the file is emptied; tests answer for the user.
    std::function<bool(const std::string& question)> Confirm;

    // Reads the file again and shows its end.
    void Reload();
    // What a second start asks for: the window in front, reloaded.
    void BringForward();
    // Searches the text in edtFind; false (with a beep) when it does not occur.
    bool FindNext(bool forward);
    void Zoom(int steps);
    const std::string& Path() const { return path_; }
    int FontHeight() const { return memoCapture.Font.Height(); }

    void FormCreate(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char& Key);
    void btnFindNextClick(TObject* Sender);
    void btnCopyClick(TObject* Sender);
    void btnSelectAllClick(TObject* Sender);
    void btnSmallerClick(TObject* Sender);
    void btnLargerClick(TObject* Sender);
    void btnClearClick(TObject* Sender);
    void memoCaptureZoom(TObject* Sender, int Steps);
    void tmrWatchTimer(TObject* Sender);

private:
    struct TStamp {
        bool exists = false;
        unsigned long long size = 0;
        FILETIME written{};
        bool operator==(const TStamp& o) const {
            return exists == o.exists && size == o.size &&
                   CompareFileTime(&written, &o.written) == 0;
        }
    };
    TStamp Stamp() const;
    void ShowText(const std::wstring& text, bool isCapture);
    std::string path_;
    std::wstring folded_;
    TStamp shown_;
    int fontStep_;
};

extern TViewer* Viewer;
