#pragma once
// The main window's behaviour: what its events do to its controls.

#include "app/frmKestrum_layout.h"
#include "app/modMain.h"
#include "platform/form.h"

namespace kestrum::app {

class frmKestrum : public platform::FormEvents {
public:
    frmKestrum(platform::FormView& view, const modMain& main);

    void Form_Activate() override;
    void onClick(int id) override;

    void mnuExit_Click();

private:
    platform::FormView& view_;
    const modMain& main_;

    platform::Control& cmdGETIP;
    platform::Control& mnuGetIP;
};

}  // namespace kestrum::app
