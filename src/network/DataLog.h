#pragma once

#include "bus/FrameCodec.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <array>
#include <deque>

namespace tqdt {
class Clock;
} // namespace tqdt

namespace tqdt::net {

// The raw byte stream of one channel, written to a file in blocks of 4096 bytes: one write per
// block, no header, separator or line end. The block still being filled is written when the log
// closes, so the file always holds every byte that was taken.
class DataLog {
public:
    static constexpr int kBlockBytes = 4096;
    static constexpr qint32 kBlockCountWrap = 10000000;

    enum class Added { Buffered, BlockWritten, WriteFailed };

    // A log left running for days can be split into parts: the current file is closed between two
    // blocks once it holds sizeBytes (By size) or once the date has changed (Daily), and the next
    // part opens under the same name with " (part n)" before ".TXT". keep > 0 deletes the oldest
    // parts of this log beyond the last keep; nothing else is ever deleted.
    struct Rotation {
        enum class Mode { Off, BySize, Daily };
        Mode mode = Mode::Off;
        qint64 sizeBytes = 0; // rounded up to whole blocks
        int keep = 0;
    };

    DataLog() = default;
    ~DataLog();
    DataLog(const DataLog&) = delete;
    DataLog& operator=(const DataLog&) = delete;

    // "DataLog BlueChan  Date 2024-03-05 Time 14_07_09.TXT" (two spaces before "Date").
    static QString FileName(Channel channel, const QDateTime& at);
    // name with " (2)", " (3)" ... before its extension: the n-th candidate for a name already taken.
    static QString NumberedName(const QString& name, int n);
    // name with " (part n)" before its extension.
    static QString PartName(const QString& name, int n);

    // Takes effect at the next Open. Daily rotation reads the date from clock.
    void setRotation(const Rotation& rotation, const Clock* clock);

    // Creates a new file in folder under name, or under the first numbered name not yet taken, so
    // two logs started within the same second never write into one file. False with the reason in
    // *error when no file could be created.
    bool Open(const QString& folder, const QString& name, QString* error = nullptr);
    // Takes one received byte; a full block goes to the file at once.
    Added Add(char byte);
    // Writes the incomplete last block and closes the file. False when a write failed.
    bool Close();

    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    // Whole blocks written since Open, counted modulo 10,000,000.
    qint32 blocks() const { return m_blocks; }
    // Bytes of the block being filled.
    int pending() const { return m_len; }
    // The part being written, from 1; 0 without rotation.
    int part() const { return m_part; }
    QString errorString() const { return m_file.errorString(); }

private:
    bool writeBlock(int len);
    bool rotationDue() const;
    bool openNextPart();
    bool openNew(const QString& path);

    QFile m_file;
    std::array<char, kBlockBytes> m_buf{};
    int m_len = 0;
    qint32 m_blocks = 0;

    Rotation m_rotation;
    const Clock* m_clock = nullptr;
    QString m_base; // the log's name with its folder, before " (part n)"
    int m_part = 0;
    qint64 m_fileBytes = 0;
    QDate m_day;
    std::deque<QString> m_parts; // this log's parts on disk, oldest first
};

} // namespace tqdt::net
