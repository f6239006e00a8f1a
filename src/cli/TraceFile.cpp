#include "cli/TraceFile.h"

#include "cli/Command.h"

#include <QDir>

namespace {
// The file holds every line; memory needs only the last few.
constexpr int kLinesKept = 1000;
} // namespace

QString TraceFile::helpText() {
    return QStringLiteral(
        "  --trace FILE  also write every byte each way over the line to FILE as it happens,\n"
        "                one line each: seconds, port, step, > to the scale or < from it, and\n"
        "                the bytes in hex");
}

std::unique_ptr<TraceFile> TraceFile::open(const QString& command, const QString& path) {
    std::unique_ptr<TraceFile> trace(new TraceFile(command, path));
    if (!trace->file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        cli::printError(
            QStringLiteral("scalectl %1: cannot write the trace file \"%2\": %3")
                .arg(command, QDir::toNativeSeparators(path), trace->file_.errorString()));
        return nullptr;
    }
    return trace;
}

TraceFile::TraceFile(const QString& command, const QString& path)
    : command_(command), file_(path), log_(kLinesKept) {
    QObject::connect(&log_, &LineLog::lineAdded, &log_,
                     [this](const LineEntry& entry) { write(entry); });
}

void TraceFile::write(const LineEntry& entry) {
    if (failed_)
        return;
    const QByteArray line = (lineText(entry) + QLatin1Char('\n')).toUtf8();
    if (file_.write(line) == line.size() && file_.flush())
        return;
    // The transfer goes on: a full disk must not cut a download short. Said once.
    failed_ = true;
    cli::printError(
        QStringLiteral("scalectl %1: the trace file \"%2\" cannot be written: %3; "
                       "it ends here")
            .arg(command_, QDir::toNativeSeparators(file_.fileName()), file_.errorString()));
}
