#pragma once

#include <QByteArray>
#include <QString>

namespace tqdt::cnd {

// Notes are single-byte Windows-1252 text. Characters the code page lacks become "?".
QByteArray toWin1252(const QString& text);
QString fromWin1252(const QByteArray& bytes);

} // namespace tqdt::cnd
