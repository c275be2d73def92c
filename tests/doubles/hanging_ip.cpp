// A stand-in for IP.EXE that never ends: it writes its process id to the file
// %KESTRUM_HANG_LOG% and then waits forever.

#include <windows.h>

#include <cstdio>

int wmain() {
    wchar_t log[MAX_PATH * 2] = {};
    if (::GetEnvironmentVariableW(L"KESTRUM_HANG_LOG", log, MAX_PATH * 2)) {
        if (FILE* out = _wfopen(log, L"wb")) {
            std::fprintf(out, "%lu", ::GetCurrentProcessId());
            std::fclose(out);
        }
    }
    ::Sleep(INFINITE);
    return 0;
}
