#include "ui/Exceptions.h"

std::string SysErrorMessage(DWORD code) {
    char* buf = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                             nullptr, code, 0, reinterpret_cast<char*>(&buf), 0, nullptr);
    std::string s = n && buf ? std::string(buf, n) : "Erreur " + std::to_string(code);
    if (buf)
        LocalFree(buf);
    while (!s.empty() && (static_cast<unsigned char>(s.back()) <= ' ' || s.back() == '.'))
        s.pop_back();
    return s;
}
