#pragma once

#include "support/Files.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tqdt::test {

// The files a technician keeps beside a document, named as people name their copies (and a few
// names that only look like a save's own temporary): a save of the document must leave every one of
// them exactly as it was. "%1" is the document's file name.
inline const QStringList& TechnicianNeighbourNames()
{
    static const QStringList names{"%1.Backup", "%1.Copy01", "%1.v2copy", "%1.Jan24a", "%1.Rev002",
                                   "%1.Final1", "%1.OLDONE", "%1.backup", "%1.aB3dEf", "%1.123456", "%1.bak",
                                   "%1~",
                                   // Close to a temporary of our own, but not one.
                                   "%1.tqdt-save-aB3dEf", ".%1.tqdt-save-aB3dE", ".%1.tqdt-save-aB3dEfg",
                                   ".%1.tqdt-save-aB3-Ef", ".%1.recovered"};
    return names;
}

// Plants every neighbour of file, each with bytes of its own, and checks later that they are intact.
class Neighbours {
public:
    explicit Neighbours(const QString& file)
    {
        const QFileInfo info(file);
        for (const QString& name : TechnicianNeighbourNames()) {
            const QString path = info.dir().filePath(name.arg(info.fileName()));
            const QByteArray bytes = "a copy the technician keeps: " + name.toUtf8();
            writeFile(path, bytes);
            m_files.emplace_back(path, bytes);
        }
    }
    void expectIntact(const QString& what) const
    {
        for (const auto& [path, bytes] : m_files)
            EXPECT_EQ(readAll(path), bytes)
                << what.toStdString() << ": " << QFileInfo(path).fileName().toStdString();
    }

private:
    std::vector<std::pair<QString, QByteArray>> m_files;
};

} // namespace tqdt::test
