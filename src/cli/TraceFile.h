#pragma once

#include "serial/LineLog.h"

#include <QFile>
#include <QString>

#include <memory>

// `--trace FILE` of the commands that talk to the scale: every line of the line log (see
// lineText), written to FILE as it happens and flushed at once, so that FILE holds the line
// up to its last byte even when the command is interrupted. A command opens it before any
// port (an unwritable FILE ends it with ExitFileError first) and hands log() to its jobs.
class TraceFile {
public:
    // The option's lines for a command's --help.
    static QString helpText();

    // Opens FILE for `scalectl COMMAND`, emptying it. When it cannot be opened, says so on
    // stderr ("scalectl COMMAND: cannot write the trace file "FILE": reason") and returns
    // null; the command then ends with ExitFileError before any byte is sent.
    static std::unique_ptr<TraceFile> open(const QString& command, const QString& path);

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
