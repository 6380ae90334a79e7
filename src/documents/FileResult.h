#pragma once

#include <QDir>
#include <QString>

namespace tqdt {

// What a file reader or writer reports: the file it worked on and, when it failed, what is wrong
// with it as a sentence ("The file holds 100 bytes; ..."). Every document reader and writer
// returns one, so a window's box and the command line's line name the file the same way.
//
//     if (const FileResult r = CdfRead(path, doc); !r)
//         host.dialogs().message(r.message(), "Open", MsgIcon::Critical);   // window
//     ...
//         io.say(r.line());                                                  // command line
struct [[nodiscard]] FileResult {
    QString file;
    QString problem; // empty on success

    static FileResult done(const QString& file) { return {file, {}}; }
    static FileResult failed(const QString& file, const QString& problem) { return {file, problem}; }

    bool ok() const { return problem.isEmpty(); }
    explicit operator bool() const { return ok(); }
    // For a message box: the file in the platform's spelling, then the problem on its own line.
    QString message() const { return QDir::toNativeSeparators(file) + QStringLiteral("\r\n") + problem; }
    // For one line of the command line: the file as given, a colon, the problem.
    QString line() const { return file + QStringLiteral(": ") + problem; }
};

} // namespace tqdt
