#pragma once
// Kernel services the program uses: where it runs from, the system folder, the
// environment, blocking waits and the user's number format.

#include <optional>
#include <string>

namespace kestrum::platform {

struct SystemDirectoryAnswer {
    std::string buffer;   // the whole buffer as the system left it, NULs included
    unsigned length = 0;  // what the system returned: 0 on failure
};

class System {
public:
    virtual ~System() = default;
    // Full path of the running program file.
    virtual std::string programFile() = 0;
    // Asks for the system directory into a buffer of bufferChars characters.
    virtual SystemDirectoryAnswer systemDirectory(unsigned bufferChars) = 0;
    virtual std::optional<std::string> environmentVariable(const std::string& name) = 0;
    virtual void sleep(unsigned milliseconds) = 0;
    // The decimal separator of the user's locale.
    virtual std::string decimalSeparator() = 0;
    // Starts exactly the program file at path, in a normal window with the focus,
    // without waiting for it; false when it could not be started.
    virtual bool startProgram(const std::string& path) = 0;
};

}  // namespace kestrum::platform
