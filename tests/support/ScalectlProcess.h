#pragma once

// scalectl run as a child process by the tests that drive it end to end: one command run to
// its end, one stopped half-way by a signal, or a `scalectl simulate` kept running as the
// scale on the other end of a port.
// Needs SCALECTL_PATH, which scaledesk_add_test defines.

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <ostream>

#include <csignal>
#ifndef _WIN32
#include <sys/types.h>
#endif

// Failures show texts as text. QString lives in the global namespace, where gtest looks.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace scalectl_process {

// The files the commands read and write.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// What scalectl printed, as text. On Windows its lines end in CR LF; the tests compare the
// texts with LF line ends.
inline QString printed(const QByteArray& bytes) {
    QString text = QString::fromLocal8Bit(bytes);
#ifdef _WIN32
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return text;
}

struct Outcome {
    int exitCode = -1; // -1 when it crashed or did not end in time
    QString out;
    QString err;
};

// Runs PROGRAM ARGS... to its end, in `workDir` when one is given.
inline Outcome run(const QString& program, const QStringList& args,
                   const QString& workDir = QString()) {
    QProcess process;
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    process.start(program, args);
    Outcome run;
    if (!process.waitForFinished(60'000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = printed(process.readAllStandardOutput());
    run.err = printed(process.readAllStandardError());
    return run;
}

// Runs `scalectl ARGS...` to its end.
inline Outcome scalectl(const QStringList& args, const QString& workDir = QString()) {
    return run(QStringLiteral(SCALECTL_PATH), args, workDir);
}

// A `scalectl ARGS...` still running, to be stopped half-way as an operator would: wait for a
// line of its output, then send it a signal, then collect how it ended.
class Started {
public:
    explicit Started(const QStringList& args) {
        process_.start(QStringLiteral(SCALECTL_PATH), args);
    }
    ~Started() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    // Waits until stdout holds `line` as a whole line; false when scalectl ended first (or the
    // line did not come within a minute, which only a hung scalectl takes).
    bool waitForLine(const QString& line) {
        const QByteArray wanted = line.toLocal8Bit() + '\n';
        return waitFor([&] { return out_.startsWith(wanted) || out_.contains('\n' + wanted); });
    }

    // The same for a line that ends with `end` after a time stamp: "TIME END".
    bool waitForStampedLine(const QString& end) {
        const QByteArray wanted = ' ' + end.toLocal8Bit() + '\n';
        return waitFor([&] { return out_.contains(wanted); });
    }

#ifndef _WIN32 // the Windows build runs no test that signals scalectl
    bool signal(int number) const {
        return ::kill(pid_t(process_.processId()), number) == 0;
    }
#endif

    Outcome finish() {
        Outcome run;
        if (!process_.waitForFinished(60'000))
            return run;
        run.exitCode = process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
        run.out = printed(out_ + process_.readAllStandardOutput());
        run.err = printed(process_.readAllStandardError());
        return run;
    }

private:
    // Reads stdout until `seen` holds, at most a minute between two reads.
    template <typename Seen> bool waitFor(Seen seen) {
        while (!seen()) {
            if (!process_.waitForReadyRead(60'000))
                return false;
            out_ += process_.readAllStandardOutput();
        }
        return true;
    }

    QProcess process_;
    QByteArray out_;
};

// A running `scalectl simulate ARGS...`; its first line is the port to talk to (empty when it
// did not start). stop() ends it the way an operator would (SIGTERM), so it writes its dump;
// a simulator still running when the test ends is killed.
class Simulator {
public:
    explicit Simulator(const QStringList& args) {
        process_.start(QStringLiteral(SCALECTL_PATH),
                       QStringList{QStringLiteral("simulate")} + args);
        while (!process_.canReadLine() && process_.waitForReadyRead(10'000)) {
        }
        if (process_.canReadLine())
            port_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~Simulator() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    QString port() const { return port_; }

    // Ends it with SIGTERM; its exit code, or -1 when it did not end cleanly (or had ended).
    int stop() {
        if (process_.state() == QProcess::NotRunning)
            return -1;
        process_.terminate();
        if (!process_.waitForFinished(10'000)) {
            process_.kill();
            process_.waitForFinished();
            return -1;
        }
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

private:
    QProcess process_;
    QString port_;
};

} // namespace scalectl_process
