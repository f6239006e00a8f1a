// The help of scalectl and its manual page: every command documents its synopsis and exit
// codes in the same shape, the overview lists every command, and the manual page made from
// the help texts renders cleanly.

#include "support/ScalectlProcess.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::run;
using scalectl_process::scalectl;

// The command names of the overview's "Commands:" list.
QStringList listedCommands(const QString& overview) {
    QStringList names;
    bool inList = false;
    for (const QString& line : overview.split(QLatin1Char('\n'))) {
        if (line == QLatin1String("Commands:")) {
            inList = true;
            continue;
        }
        if (inList && line.isEmpty())
            break;
        if (inList)
            names.append(line.trimmed().section(QLatin1Char(' '), 0, 0));
    }
    return names;
}

TEST(ScalectlHelp, OverviewListsTheCommandsAndBadCallsAreUsageErrors) {
    const Outcome help = scalectl({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QLatin1String("Usage: scalectl COMMAND [OPTIONS]\n")));
    const QStringList listed = listedCommands(help.out);
    for (const char* command : {"convert", "display", "download", "simulate", "upload"})
        EXPECT_TRUE(listed.contains(QLatin1String(command))) << command;
    EXPECT_TRUE(help.out.contains(QLatin1String("\nExit codes: 0 success")));

    const Outcome bare = scalectl({});
    EXPECT_EQ(bare.exitCode, 2);
    EXPECT_TRUE(bare.out.isEmpty());
    EXPECT_TRUE(bare.err.startsWith(QLatin1String("Usage: scalectl COMMAND")));

    const Outcome unknown = scalectl({QStringLiteral("weigh")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.startsWith(QLatin1String("scalectl: unknown command 'weigh'")));

    const Outcome version = scalectl({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("scalectl " SCALEDESK_VERSION "\n"));
}

// Every help text, the overview's included, with this system's port examples filled in.
TEST(ScalectlHelp, EveryCommandShowsUsageAndExitCodesOnStdout) {
    const QString overview = scalectl({QStringLiteral("--help")}).out;
    const QStringList commands = listedCommands(overview);
    ASSERT_FALSE(commands.isEmpty());
    const QRegularExpression placeholder(QStringLiteral("\\{[a-z][a-z0-9-]*\\}"));
    EXPECT_FALSE(overview.contains(placeholder)) << overview.toStdString();
    for (const QString& command : commands) {
        for (const QString& flag : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const Outcome help = scalectl({command, flag});
            SCOPED_TRACE((command + QLatin1Char(' ') + flag).toStdString());
            EXPECT_EQ(help.exitCode, 0);
            EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
            EXPECT_TRUE(help.out.startsWith(QLatin1String("Usage: scalectl ") + command + ' '));
            EXPECT_TRUE(help.out.contains(QLatin1String("\nExit codes: 0 ")));
            EXPECT_FALSE(help.out.contains(placeholder)) << help.out.toStdString();
            for (const QString& line : help.out.split(QLatin1Char('\n'))) {
                EXPECT_LE(line.size(), 100) << line.toStdString();
                EXPECT_FALSE(line.endsWith(QLatin1Char(' '))) << line.toStdString();
            }
        }
    }
}

TEST(ScalectlManualPage, HasEveryCommandAndRendersWithoutWarnings) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString page = dir.filePath(QStringLiteral("scalectl.1"));
    const Outcome made =
        run(QStringLiteral("bash"), {QStringLiteral(SCALEDESK_SOURCE_DIR "/scripts/make-manpage"),
                                     QStringLiteral(SCALECTL_PATH), page});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith(QLatin1String(".\\\"")));
    EXPECT_TRUE(text.contains(QLatin1String("\n.TH SCALECTL 1 ")));
    for (const char* section :
         {".SH NAME", ".SH SYNOPSIS", ".SH DESCRIPTION", ".SH COMMANDS", ".SH \"EXIT STATUS\""})
        EXPECT_TRUE(text.contains(QLatin1Char('\n') + QLatin1String(section) + '\n')) << section;
    for (const QString& command : listedCommands(scalectl({QStringLiteral("--help")}).out))
        EXPECT_TRUE(text.contains(QLatin1String("\n.SS ") + command + '\n'))
            << command.toStdString();
    // Option names keep their minus signs rather than turning into hyphens.
    EXPECT_TRUE(text.contains(QLatin1String("\\-\\-port")));
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[^\\\\]--port"))));

    if (QStandardPaths::findExecutable(QStringLiteral("groff")).isEmpty())
        GTEST_SKIP() << "groff is not installed: the page was not rendered";
    const Outcome rendered =
        run(QStringLiteral("groff"), {QStringLiteral("-man"), QStringLiteral("-Tutf8"),
                                      QStringLiteral("-ww"), QStringLiteral("-z"), page});
    EXPECT_EQ(rendered.exitCode, 0);
    EXPECT_TRUE(rendered.err.isEmpty()) << rendered.err.toStdString();
}

} // namespace
