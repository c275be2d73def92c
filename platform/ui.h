#pragma once
// Program-wide user-interface services: message boxes, the mouse pointer, the
// clipboard and the processing of pending window events.

#include <string>

namespace kestrum::platform {

// Message-box styles in use (the values the platform takes).
enum MessageStyle : unsigned {
    kOkOnly = 0,
    kExclamation = 48,
    kInformation = 64,
};

class Ui {
public:
    virtual ~Ui() = default;
    // Modal; returns when the user has dismissed it.
    virtual void messageBox(const std::string& text, unsigned style, const std::string& title) = 0;
    // The same for a question, with Yes and No; true when the user chose Yes.
    virtual bool confirm(const std::string& text, unsigned style, const std::string& title) = 0;
    // Puts the text on the clipboard; false when the clipboard could not be had.
    virtual bool copyText(const std::string& text) = 0;
    // The hourglass over all of the program's windows, or the default pointer.
    virtual void setBusyPointer(bool busy) = 0;
    // Handles the window events that are waiting, then returns.
    virtual void doEvents() = 0;
};

}  // namespace kestrum::platform
