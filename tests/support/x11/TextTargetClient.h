#pragma once

#include "SupportProgram.h"

#include <QByteArray>
#include <QString>

// Talks to a running text_target: one command a line, answered "ok" when done.
namespace text_target {

// Sends a command and checks that the target carried it out.
void command(SupportProgram &target, const QByteArray &line);
// The text of the target's field.
QString text(SupportProgram &target);

} // namespace text_target
