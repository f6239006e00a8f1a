#pragma once

#include "tables/Table.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A PLU file of `rows` records numbered 1 to `rows`, every field filled, as the benchmarks
// download it.
QByteArray benchPluFileText(int rows);

// Writes that file to `path`; false when it cannot be written.
bool writeBenchPluFile(const QString& path, int rows);

// Writes that file to `path` and opens it as the window's Open does; null when either fails.
std::unique_ptr<PluTable> openBenchPluFile(const QString& path, int rows);
