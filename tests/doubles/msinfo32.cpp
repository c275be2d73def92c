// A stand-in for System Information: records the command line it was started
// with, and where it was started from, in the file %KESTRUM_MSINFO_LOG%, and ends.

#include <windows.h>

#include <cstdio>

int wmain() {
    wchar_t log[MAX_PATH * 2] = {};
    if (!::GetEnvironmentVariableW(L"KESTRUM_MSINFO_LOG", log, MAX_PATH * 2)) return 1;
    wchar_t self[MAX_PATH * 2] = {};
    const DWORD selfLength = ::GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    FILE* out = _wfopen(log, L"wb");
    if (!out) return 1;
    // Two lines: the program file, then the command line.
    const wchar_t* line = ::GetCommandLineW();
    fwrite(self, sizeof(wchar_t), selfLength, out);
    fwrite(L"\n", sizeof(wchar_t), 1, out);
    fwrite(line, sizeof(wchar_t), wcslen(line), out);
    fclose(out);
    return 0;
}
