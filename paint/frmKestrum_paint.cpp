// The main window's background.

#include "app/frmKestrum.h"

namespace kestrum::app {

void frmKestrum::PaintForm() {}

}  // namespace kestrum::app
