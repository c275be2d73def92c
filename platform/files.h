#pragma once
// The file system as the program asks of it: only whether a file is there.

#include <string>

namespace kestrum::platform {

class Files {
public:
    virtual ~Files() = default;
    // Whether a directory search for path finds a file with normal attributes:
    // not a folder, not hidden, not a system file.
    virtual bool normalFileExists(const std::string& path) = 0;
};

}  // namespace kestrum::platform
