#pragma once
// A user interface that only remembers the messages it was asked to show.

#include <string>
#include <vector>

#include "platform/ui.h"

namespace kestrum::testsupport {

class RecordingUi : public platform::Ui {
public:
    void messageBox(const std::string& text, unsigned, const std::string&) override { messages.push_back(text); }
    void setBusyPointer(bool) override {}
    void doEvents() override {}
    std::vector<std::string> messages;
};

}  // namespace kestrum::testsupport
