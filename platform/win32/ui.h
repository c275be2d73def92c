#pragma once

#include <string>

#include "platform/ui.h"

namespace kestrum::win32 {

class Win32Ui : public platform::Ui {
public:
    void messageBox(const std::string& text, unsigned style, const std::string& title) override;
    bool confirm(const std::string& text, unsigned style, const std::string& title) override;
    bool copyText(const std::string& text) override;
    void setBusyPointer(bool busy) override;
    void doEvents() override;
};

}  // namespace kestrum::win32
