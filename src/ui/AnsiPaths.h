// Paths between the system's UTF-16 names and the ANSI calls of the toolkit.
// A folder whose name holds a letter the ANSI code page lacks (C:\Проекты,
// C:\Users\Łukasz) reads through the ANSI calls with '?' or a look-alike
// letter, which names no folder or another one: such a path goes by its short
// 8.3 form, where the volume gives one.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// The ANSI code page's text in UTF-16.
std::wstring Widened(std::string_view ansi);

// The full path (GetFullPathNameW) as ANSI calls reach it: its own name when
// the ANSI code page holds every character of it, else its short form when
// that one does (for a file still to be made, its folder's short form and its
// own name). None when neither works.
std::optional<std::string> AnsiFullPath(const std::wstring& path);

// The full path for a message: the one ANSI calls reach, else its name with
// '?' for what the ANSI code page lacks, so that no look-alike letter
// passes for another folder. A folder comes without its final separator.
std::string ShownPath(const std::wstring& path);
