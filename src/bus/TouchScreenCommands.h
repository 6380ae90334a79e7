#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tqdt {

class Host;

// The touch screens (class '8'): broadcasts that no screen answers.

bool TouchScreenProfile(Host& host, qint16 profile);
bool TouchScreenClock(Host& host);

// Whole seconds from 1 January 2020 00:00:00 to the host's local date and time.
qint32 SecondsSince2020(const Host& host);

} // namespace tqdt
