#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// Reads streams out of a Compound File container (the storage format of .xls workbooks):
// 512- and 4096-byte sectors, the FAT with its DIFAT extension, the directory and the mini
// stream. Every offset and chain is checked against the file, so a damaged container gives
// an error text instead of a crash or an endless walk.
class CompoundFileReader {
public:
    explicit CompoundFileReader(const QByteArray& file);

    bool isValid() const { return error_.isEmpty(); }
    QString error() const { return error_; } // what is wrong with the container itself

    QStringList streamNames() const;

    // The contents of the stream called `name` (compared without case). Returns nothing and
    // sets `error` when there is no such stream or its sectors are damaged.
    std::optional<QByteArray> stream(const QString& name, QString* error) const;

private:
    struct Entry {
        QString name;
        quint8 type = 0; // 1 storage, 2 stream, 5 root
        quint32 start = 0;
        quint64 size = 0;
    };

    bool parse();
    bool fail(const QString& why);
    std::optional<QByteArray> sector(quint32 id) const;
    // Follows a chain of `table` from `start` through ids below `limit`; `maxSectors` bounds
    // the walk (-1: until the end mark).
    std::optional<QVector<quint32>> chain(const QVector<quint32>& table, quint32 start,
                                          qsizetype limit, qsizetype maxSectors,
                                          QString* error) const;
    std::optional<QByteArray> readRegular(quint32 start, quint64 size, QString* error) const;
    std::optional<QByteArray> readMini(quint32 start, quint64 size, QString* error) const;

    QByteArray file_;
    QString error_;
    int sectorSize_ = 512;
    quint32 sectorCount_ = 0;
    quint32 miniCutoff_ = 4096;
    QVector<quint32> fat_;
    QVector<quint32> miniFat_;
    QVector<Entry> entries_;
};
