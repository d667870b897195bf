// What every benchmark needs: a millisecond clock and the common controls the
// program itself gets.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

inline double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / ticksPerMs;
}

// The program's manifest asks for version 6 of the common controls, whose
// combo box and list box are not the system's first ones; a benchmark has no
// manifest, so it makes the same request through an activation context.
inline bool UseCommonControls6() {
    static const char manifest[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
        "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
        "</dependentAssembly></dependency></assembly>\r\n";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path =
        std::string(temp) + "osh-bench-" + std::to_string(GetCurrentProcessId()) + ".manifest";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fputs(manifest, f);
        std::fclose(f);
    }
    ACTCTXA ctx{};
    ctx.cbSize = sizeof ctx;
    ctx.lpSource = path.c_str();
    HANDLE context = CreateActCtxA(&ctx);
    DeleteFileA(path.c_str());
    ULONG_PTR cookie = 0;
    return context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie);
}
