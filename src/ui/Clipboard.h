// The clipboard, as the program fills it.
#pragma once
#include <windows.h>

#include <string_view>

// Puts Windows-1252 text on the clipboard as Unicode text, whatever the
// system's code page, for owner. Exception on failure:
// "Impossible de copier dans le presse-papiers. <reason>".
void SetClipboardText(HWND owner, std::string_view ansi);
