// A stand-in for IP.EXE that never ends: writes its process id to %KESTRUM_HANG_LOG%, then waits.

#include <windows.h>

#include <cstdio>

int wmain() {
    wchar_t log[MAX_PATH * 2] = {};
    if (FILE* out = ::GetEnvironmentVariableW(L"KESTRUM_HANG_LOG", log, MAX_PATH * 2) ? _wfopen(log, L"wb") : nullptr) {
        std::fprintf(out, "%lu", ::GetCurrentProcessId());
        std::fclose(out);
    }
    ::Sleep(INFINITE);
    return 0;  // never reached
}
