#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Wraps one workbook stream into a Compound File container (version 3, 512-byte sectors)
// under the stream name "Workbook". The stream is padded with zero bytes to at least 4096
// bytes so that it lives in regular sectors, and its sector chain is exactly as long as the
// declared size: some readers refuse a small stream outside the mini stream or a chain with
// a spare sector. Returns nothing when the stream needs more FAT sectors than the header
// holds (about 6.8 MB), far beyond any table.
std::optional<QByteArray> writeCompoundFile(QByteArray stream);
