// Where there is no POSIX there are no pseudo-terminals; the class reports itself unsupported.
#ifdef _WIN32
#include "ports/Pty.h"

#include <io.h>
#include <stdio.h>

namespace tqdt {

struct PseudoTerminal::Impl {};
PseudoTerminal::PseudoTerminal() : d(std::make_unique<Impl>()) {}
PseudoTerminal::~PseudoTerminal() = default;
bool PseudoTerminal::supported() { return false; }
bool TerminalHungUp(long long) { return false; }
bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
bool PseudoTerminal::isOpen() const { return false; }
QString PseudoTerminal::slaveName() const { return {}; }
bool PseudoTerminal::makeRaw(int) { return false; }
int PseudoTerminal::slaveBaud() const { return 0; }
bool PseudoTerminal::write(const QByteArray&) { return false; }
QByteArray PseudoTerminal::read(int) { return {}; }

} // namespace tqdt
#endif
