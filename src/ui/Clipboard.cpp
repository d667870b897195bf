#include "ui/Clipboard.h"

#include "ui/Exceptions.h"

#include <cstring>
#include <string>

void SetClipboardText(HWND owner, std::string_view ansi) {
    const int size = static_cast<int>(ansi.size());
    std::wstring wide(
        static_cast<size_t>(MultiByteToWideChar(1252, 0, ansi.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(1252, 0, ansi.data(), size, wide.data(), static_cast<int>(wide.size()));
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    // Another program (a clipboard viewer) may hold it for a moment.
    bool done = false;
    for (int tries = 0; tries < 5 && !(done = OpenClipboard(owner)); ++tries)
        Sleep(20);
    DWORD error = done ? 0 : GetLastError();
    if (done) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
        void* at = block ? GlobalLock(block) : nullptr;
        if (at) {
            std::memcpy(at, wide.c_str(), bytes);
            GlobalUnlock(block);
        }
        // Once set, the block is the clipboard's.
        done = at && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block);
        if (!done) {
            error = GetLastError();
            if (block)
                GlobalFree(block);
        }
        CloseClipboard();
    }
    if (!done)
        throw Exception("Impossible de copier dans le presse-papiers. " + SysErrorMessage(error));
}
