#include "platform/x11/QtSystemBeep.h"

#include <QApplication>

namespace vima {

void QtSystemBeep::beep() { QApplication::beep(); }

} // namespace vima
