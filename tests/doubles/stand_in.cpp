// A stand-in for a program Kestrum starts (built as mstsc.exe, explorer.exe and MSINFO32.EXE): writes
// the file it was started from, a line break and its command line to %KESTRUM_STAND_IN_LOG%.

#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
    wchar_t log[MAX_PATH * 2] = {}, self[MAX_PATH * 2] = {};
    FILE* out = ::GetEnvironmentVariableW(L"KESTRUM_STAND_IN_LOG", log, MAX_PATH * 2) ? _wfopen(log, L"wb") : nullptr;
    if (!out) return 1;
    const std::wstring run =
        std::wstring(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH * 2)) + L"\n" + ::GetCommandLineW();
    std::fwrite(run.data(), sizeof(wchar_t), run.size(), out);
    return std::fclose(out);
}
