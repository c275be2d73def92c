// The image's load configuration, linked into each program: its one purpose is
// DependentLoadFlags (the field MinGW-w64's header still calls Reserved1), so the
// DLLs named in the import table are looked for in the system folder only, never
// beside the exe. GNU ld 2.40 does not point the directory at it by itself:
// scripts/pe-load-config.sh does that after linking, from the section's place.

#include <windows.h>

extern "C" __attribute__((used, section(".ldcfg"))) const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used{
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY),
    .Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32,
};
