#pragma once

#include "platform/shell.h"

namespace kestrum::win32 {

class Win32Shell : public platform::Shell {
public:
    std::intptr_t execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                          const std::optional<std::string>& parameters, const std::optional<std::string>& folder,
                          int show) override;
};

}  // namespace kestrum::win32
