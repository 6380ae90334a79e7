#pragma once

#include <QString>

namespace tqdt {

// On Linux a serial device belongs to a group (dialout on Debian), and a user outside it is refused
// with no word of what to do. This is that word: "add your user to the group dialout and log in
// again", when the device exists, this user may not both read and write it, and its group is one a
// user can join (not root). Empty otherwise, and on systems without device groups.
QString PortAccessAdvice(const QString& device);

// The reason open() gives for a refused device is the system's text followed by ": " and the advice;
// this is the advice such a reason ends with, or empty when it has none.
QString AdviceOf(const QString& reason);

} // namespace tqdt
