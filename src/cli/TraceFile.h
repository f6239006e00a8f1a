#pragma once

#include "serial/LineLog.h"

#include <QFile>
#include <QString>

#include <memory>

class Wire;

// `--trace FILE` of the commands that talk to the scale: every line of the line log (see
// lineText), written to FILE as it happens and flushed at once, so that FILE holds the line
// up to its last byte even when the command is interrupted. Usage in a command:
//
//     std::unique_ptr<TraceFile> trace;
//     if (line.isSet(QStringLiteral("trace"))) {
//         trace = TraceFile::open(QStringLiteral("upload"), line.value(QStringLiteral("trace")));
//         if (!trace)
//             return ExitFileError; // before the port is opened
//     }
//     ...
//     if (trace)
//         trace->attach(session->wire());
class TraceFile {
public:
    // The option's lines for a command's --help.
    static QString helpText();

    // Opens FILE for `scalectl COMMAND`, emptying it. When it cannot be opened, says so on
    // stderr ("scalectl COMMAND: cannot write the trace file "FILE": reason") and returns
    // null; the command then ends with ExitFileError before any byte is sent.
    static std::unique_ptr<TraceFile> open(const QString& command, const QString& path);

    // From now on every byte on the wire's line goes to FILE. The trace must outlive the
    // wire's use of it (declare it before the port session).
    void attach(Wire& wire);

    // The lines written so far (the most recent ones: the file holds them all).
    const LineLog& log() const { return log_; }
    // The log to hand to jobs: what reaches it goes to FILE.
    LineLog& log() { return log_; }

private:
    TraceFile(const QString& command, const QString& path);
    void write(const LineEntry& entry);

    QString command_;
    QFile file_;
    LineLog log_;
    bool failed_ = false;
};
