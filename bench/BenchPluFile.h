#pragma once

#include <QByteArray>
#include <QString>

// A PLU file of `rows` records numbered 1 to `rows`, every field filled, as the benchmarks
// download it.
QByteArray benchPluFileText(int rows);

// Writes that file to `path`; false when it cannot be written.
bool writeBenchPluFile(const QString& path, int rows);
