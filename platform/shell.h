#pragma once
// The shell's "perform a verb on a file" call, mirrored one to one.

#include <cstdint>
#include <optional>
#include <string>

namespace kestrum::platform {

inline constexpr int kShowMaximized = 3;  // SW_SHOWMAXIMIZED

class Shell {
public:
    virtual ~Shell() = default;
    // ShellExecute: owner 0 for none; parameters and folder absent for none. Runs
    // with COM on the calling thread, as the shell's extensions need.
    // Returns the shell's number: 32 or less names a failure.
    virtual std::intptr_t execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                                  const std::optional<std::string>& parameters,
                                  const std::optional<std::string>& folder, int show) = 0;
};

}  // namespace kestrum::platform
