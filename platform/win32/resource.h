#pragma once
// Resource identifiers shared by the .rc files and the code.

#define IDI_KESTRUM 1
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
