#pragma once

#include "platform/system.h"

namespace kestrum::win32 {

class Win32System : public platform::System {
public:
    std::string programFile() override;
    platform::SystemDirectoryAnswer systemDirectory(unsigned bufferChars) override;
    std::optional<std::string> environmentVariable(const std::string& name) override;
    void sleep(unsigned milliseconds) override;
    std::string decimalSeparator() override;
    bool startProgram(const std::string& path) override;
};

}  // namespace kestrum::win32
