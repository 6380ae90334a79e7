#pragma once

#include <QString>

namespace tqdt {

// Where the program keeps its files. The root is the drive root on Windows and the home folder
// elsewhere; the environment variable TQDT_HOME replaces it (tests use a temporary folder).
class Paths {
public:
    Paths(); // root from TQDT_HOME, else the platform default
    explicit Paths(QString root);

    QString root() const { return m_root; }
    QString dataFolder() const;                 // "<root>/Tarvik Quorvel"
    QString settingsFile() const;               // "<data folder>/DiagnosticTool.ini"
    QString sibling(const QString& name) const; // another folder beside the data folder

private:
    QString m_root;
};

// Non-zero when the folder exists.
qint16 FolderExists(const QString& path);

} // namespace tqdt
