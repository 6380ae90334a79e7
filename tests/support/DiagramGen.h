#pragma once

#include "condlogic/CndDocument.h"

#include <QtGlobal>

namespace tqdt::cnd {

// Documents for checking the fast compile against the flood and for timing both.

// Random diagrams from a fixed start value: rungs of series contacts, parallel branches joined by
// vertical links, closed contacts, pilots and stray cells anywhere.
CndDocument RandomDocument(quint32 start);

// The hardest document we draw: every output holds at least 64 contacts over all 16 inputs in
// series runs, parallel branches, vertical links and closed contacts.
CndDocument WorstCaseDocument();

} // namespace tqdt::cnd
