// The main window's background.

#include "app/frmKestrum.h"
#include "paint/ApplyGradient.h"

namespace kestrum::app {

// The panels show the window's gradient from their own top-left corners, not the
// part of it that lies under them.
void frmKestrum::PaintForm() {
    paint::ApplyGradient(view_.paintTarget(), services_.ui, services_.systemColors);
    view_.setPictureFromForm(KestrumId::picLocal);
    view_.setPictureFromForm(KestrumId::picRemote);
}

}  // namespace kestrum::app
