// A stand-in for the Remote Desktop client: records the command line it was
// started with in the file %KESTRUM_MSTSC_LOG% and ends.

#include <windows.h>

#include <cstdio>

int wmain() {
    wchar_t log[MAX_PATH * 2] = {};
    if (!::GetEnvironmentVariableW(L"KESTRUM_MSTSC_LOG", log, MAX_PATH * 2)) return 1;
    FILE* out = _wfopen(log, L"wb");
    if (!out) return 1;
    const wchar_t* line = ::GetCommandLineW();
    fwrite(line, sizeof(wchar_t), wcslen(line), out);
    fclose(out);
    return 0;
}
