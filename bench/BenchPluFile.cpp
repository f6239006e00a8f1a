#include "BenchPluFile.h"

#include "files/TableFileCommands.h"

#include <QFile>

QByteArray benchPluFileText(int rows) {
    QByteArray text;
    for (int i = 1; i <= rows; ++i)
        text += QStringLiteral("%1,%2,\"Item %1\",\"Shelf %3\",%4,7,20,%5,0\r\n")
                    .arg(i)
                    .arg(100000 + i)
                    .arg(i % 40)
                    .arg(99 + i)
                    .arg(i % 9)
                    .toLatin1();
    return text;
}

bool writeBenchPluFile(const QString& path, int rows) {
    QFile file(path);
    const QByteArray text = benchPluFileText(rows);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

std::unique_ptr<PluTable> openBenchPluFile(const QString& path, int rows) {
    auto table = std::make_unique<PluTable>();
    table->reset();
    if (!writeBenchPluFile(path, rows) || !openTable(*table, path).ok)
        return nullptr;
    return table;
}
