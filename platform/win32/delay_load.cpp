// The delay-load helper, wrapped (kestrum.exe links with --wrap=__delayLoadHelper2).
// The runtime's helper writes each function it finds into its import slot, which the
// linker puts among the import tables; newer linkers make those read-only, as Windows
// expects, and the write would fault on the first call into a delay-loaded DLL. The
// slot is made writable for that one write, then protected again. One resolution at a
// time: two threads must not protect the page under each other.

#include <windows.h>

#include <delayimp.h>

// The names are the linker's: --wrap makes them from the runtime's.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" FARPROC WINAPI __real___delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC* slot);

// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" FARPROC WINAPI __wrap___delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC* slot) {
    static SRWLOCK lock = SRWLOCK_INIT;
    ::AcquireSRWLockExclusive(&lock);
    DWORD was = 0;
    const bool opened = ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was);
    const FARPROC found = __real___delayLoadHelper2(descriptor, slot);
    if (opened) ::VirtualProtect(slot, sizeof *slot, was, &was);
    ::ReleaseSRWLockExclusive(&lock);
    return found;
}
