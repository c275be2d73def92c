#pragma once

#include "platform/files.h"

namespace kestrum::win32 {

class Win32Files : public platform::Files {
public:
    bool normalFileExists(const std::string& path) override;
};

}  // namespace kestrum::win32
