#include "cli/ScaleOptions.h"

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "jobs/ScaleList.h"

#include <QFileInfo>

namespace cli {

std::optional<int> scalesFromOptions(const CommandLine& line, const QString& command,
                                     QList<ScaleEntry>& scales) {
    if (line.isSet(QStringLiteral("scales"))) {
        const QString path = line.value(QStringLiteral("scales"));
        const ScaleListResult list = readScaleList(path);
        if (!list.ok()) {
            printError(QStringLiteral("scalectl %1: cannot read the scales of \"%2\": %3")
                           .arg(command, path, list.error));
            return ExitFileError;
        }
        scales = list.scales;
    }
    for (const QString& port : line.values(QStringLiteral("port"))) {
        const ScaleEntry entry{port, port};
        const QString problem = scaleEntryProblem(entry, scales);
        if (!problem.isEmpty())
            return line.usageError(QStringLiteral("--port %1: %2").arg(port, problem));
        scales.append(entry);
    }
    if (scales.isEmpty())
        return line.usageError(QStringLiteral("--port PORT is required (or --scales LIST)"));
    return std::nullopt;
}

std::optional<int> checkReportPath(const QString& command, const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo report(path);
    const QFileInfo folder(report.absolutePath());
    QString why;
    if (report.exists() && !report.isFile())
        why = QStringLiteral("it is not a regular file");
    else if (!folder.isDir())
        why = QStringLiteral("the folder %1 does not exist").arg(report.absolutePath());
    else if (!folder.isWritable())
        why = QStringLiteral("the folder %1 cannot be written").arg(report.absolutePath());
    if (why.isEmpty())
        return std::nullopt;
    printError(
        QStringLiteral("scalectl %1: cannot write the report \"%2\": %3").arg(command, path, why));
    return ExitFileError;
}

} // namespace cli
