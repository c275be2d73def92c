#pragma once
// A window of the program, built from its layout table, that delivers the
// events of its controls and menus to the window's portable logic: its window
// procedure, its size and dpi, its keys, and its showing, modal or not.

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/form.h"
#include "platform/form_layout.h"
#include "platform/win32/background_work.h"
#include "platform/win32/client_size.h"
#include "platform/win32/form_parts.h"
#include "platform/win32/paint_target.h"
#include "platform/win32/window_image.h"

namespace kestrum::win32 {

class FormWindow : public platform::FormView, private ControlOwner {
public:
    // iconResource: the program's icon resource the window shows; 0 for none.
    FormWindow(const platform::FormDef& formDef, int iconResource);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // The form window of that handle (a top-level window), or null.
    static FormWindow* FromHandle(HWND hwnd);
    // The program's form windows: those of this thread.
    static std::vector<FormWindow*> OfThisThread();
    // Delivers a message of the thread's queue; a key goes to the form whose window
    // it is in (its own or one of its controls) first. This and DispatchWhile live
    // with the message loop (message_loop.cpp), which the modal windows share.
    static void Dispatch(MSG& msg);
    // How a run of the thread's messages ended: a WM_QUIT and its exit code, or
    // (quit false, exit code 1) the queue failed or running said no more.
    struct LoopEnd {
        bool quit = false;
        int exitCode = 1;
    };
    // Gets and delivers the thread's messages while running() says so.
    static LoopEnd DispatchWhile(const std::function<bool()>& running);

    // Creates the window (hidden), its controls and menus. False on failure.
    bool create(HWND owner);
    // The same for a window that will be shown modally: its end is not the program's.
    bool createModal();
    void setEvents(platform::FormEvents* events) { events_ = events; }
    // The threads that work handed on by runInBackground runs on.
    void setBackgroundWork(BackgroundWork* jobs) { jobs_ = jobs; }

    // Load, resize, show centred, then activation once the window is on screen.
    void show();
    // Shows the window and returns once it has been unloaded; meanwhile the
    // program's other windows take no input.
    void runModal();
    // The hourglass over the window while the program is busy.
    void setBusy(bool busy) { busy_ = busy; }

    platform::Control& control(int id) override { return parts_.at(id); }
    std::uintptr_t windowHandle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
    void unload() override;
    platform::PaintTarget& paintTarget() override { return paintTarget_; }
    void setPictureFromForm(int pictureBoxId) override;
    void setPictureToMainWindowIcon(int pictureBoxId) override;
    void setCaption(const std::string& caption) override;
    float scaleWidth() const override;
    float scaleHeight() const override;
    void runInBackground(std::function<void()> work, std::function<void(bool worked)> done) override {
        RunInBackground(jobs_, mailbox_, std::move(work), std::move(done));
    }

    HWND hwnd() const { return hwnd_; }
    int dpi() const override { return dpi_; }
    // Shortcuts, Tab and dialog keys for this window; true when the message was used.
    bool preTranslate(MSG& msg);

    // The kept image of the window's client area (containerId 0), or of a picture
    // box's: drawing into it and then calling refresh() shows the result.
    HDC imageDc(int containerId = 0);
    void refresh(int containerId = 0);

private:
    static constexpr UINT kActivateMessage = WM_APP + 1;  // posted by show()
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PictureBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Guarded(FormWindow* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static ATOM RegisterClasses();
    // Where the window goes, frame included, if the primary monitor's dpi is its own.
    RECT CentredOnPrimary(DWORD style, DWORD exStyle) const;
    // For the window itself and for its picture boxes alike.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void reportFailure(const char* what) noexcept;
    void reportFailure(const std::exception_ptr& failure) noexcept;
    // Runs the completions of the background work that has ended.
    void onWorkDone();

    void paint(HWND hwnd, HDC dc);
    bool onSetCursor(HWND under, int hitTest);
    HBRUSH onCtlColorStatic(HDC dc, HWND control);
    bool onCommand(int id, int code, HWND control);
    void onActivate();
    void onSize(UINT kind, int width, int height);
    void onDpiChanged(int dpi, const RECT& suggested);
    void onDestroy();
    void onNcDestroy();

    bool canFocus(int id) { return parts_.control(id).canFocus(); }
    void focusNextAfter(int id) override;
    void focusNext(int fromId, bool backwards);
    const platform::ControlDef* buttonFor(bool cancel) const;
    HWND windowOf(int containerId);
    void enableOthers();

    const platform::FormDef& formDef_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    platform::FormEvents* events_ = nullptr;
    bool shown_ = false;
    std::pair<int, int> shownSize_{};  // the client size the logic was last told of
    ClientSize clientSize_;
    bool modal_ = false;
    std::vector<HWND> disabledOthers_;  // while modal
    bool busy_ = false;
    bool reporting_ = false;  // a failure is on screen: the next ones are only logged
    BackgroundWork* jobs_ = nullptr;
    std::shared_ptr<WindowMailbox> mailbox_;
    FormParts parts_;
    WindowImage image_;
    FormPaintTarget paintTarget_{hwnd_, [this] { return imageDc(); }, [this] { refresh(); },
                                 [this] { return image_.version(hwnd_); }};
};

}  // namespace kestrum::win32
