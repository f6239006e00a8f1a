// Every option of every scalectl command takes its value after a blank or after an equals
// sign, and both spellings do the same.

#include "support/ScalectlProcess.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::scalectl;
using scalectl_process::Simulator;

// The same arguments with every "--name=value" split into "--name" and "value".
QStringList spaced(const QStringList& args) {
    QStringList split;
    for (const QString& arg : args) {
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && equals > 2)
            split << arg.left(equals) << arg.mid(equals + 1);
        else
            split << arg;
    }
    return split;
}

struct ScalectlOptions : ::testing::Test {
    QTemporaryDir dir;
    QString plu = dir.filePath(QStringLiteral("shop.plu"));

    void SetUp() override {
        QFile file(plu);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("1,11,\"Pear\",\" \",150,0,0,0,0\r\n2,12,\"Fig\",\" \",250,0,0,0,0\r\n"
                   "3,13,\"Kiwi\",\" \",350,0,0,0,0\r\n");
    }
};

} // namespace

TEST_F(ScalectlOptions, EveryValueOptionTakesItsValueAfterABlankOrAnEqualsSign) {
    const QString out = dir.filePath(QStringLiteral("back.plu"));
    const QString copy = dir.filePath(QStringLiteral("copy.plu"));
    const QString noJournal = dir.filePath(QStringLiteral("none.sqlite"));
    const struct {
        QStringList args; // in the "--name=value" spelling
        int exitCode;
        const char* out;
    } cases[] = {
        {{"display", "--port=sim"}, 0, "1250 899 1124\n"},
        {{"download", "plu", plu, "--port=sim", "--one=2"},
         0,
         "PLU Count is 3\nplu#2 is transfered\n THE END \n"},
        {{"download", "plu", plu, "--port=sim", "--range=2-3"},
         0,
         "PLU Count is 3\nplu#2 is transfered\nplu#3 is transfered\n THE END \n"},
        {{"upload", "plu", out, "--port=sim", "--one=4"}, 0, "plu#4 is received\n"},
        {{"convert", "--table=plu", plu, copy}, 0, "PLU Count is 3\nPLU Count is 3\n"},
        // Read as options, the journal's are refused only for want of the journal itself.
        {{"journal", "--scale=Deli", "--plu=2", "--since=2024-05-01", "--until=2024-05-02",
          "--format=csv", "--journal=" + noJournal},
         3,
         ""},
        {{"journal", "holds", "--scale=Deli", "--table=plu", "--journal=" + noJournal}, 3, ""},
        {{"journal", "lowest", "--plu=2", "--scale=Deli", "--days=7", "--until=2024-05-01",
          "--journal=" + noJournal},
         3,
         ""},
        {{"journal", "verify", "--journal=" + noJournal}, 3, ""},
        // An empty value is none; a switch takes none.
        {{"display", "--port="}, 2, ""},
        {{"upload", "plu", out, "--port=sim", "--one="}, 2, ""},
        {{"download", "plu", plu, "--port=sim", "--all=yes"}, 2, ""},
        {{"simulate", "--pty=yes"}, 2, ""},
    };
    for (const auto& c : cases) {
        for (const QStringList& args : {c.args, spaced(c.args)}) {
            const Outcome run = scalectl(args);
            EXPECT_EQ(run.exitCode, c.exitCode) << args.join(' ').toStdString() << "\n"
                                                << run.err.toStdString();
            EXPECT_EQ(run.out, QString::fromLatin1(c.out)) << args.join(' ').toStdString();
        }
    }
}

TEST_F(ScalectlOptions, TheSimulatorTakesEveryOptionInBothSpellings) {
    const QString dump = dir.filePath(QStringLiteral("scale.dump"));
    const QStringList args{"--tcp=127.0.0.1:0", "--load-plu=" + plu, "--display=1,2,3",
                           "--fault=sync:1",    "--fault=sync#2:1",  "--baud=115200",
                           "--dump=" + dump};
    for (const QStringList& spelling : {args, spaced(args)}) {
        SCOPED_TRACE(spelling.join(' ').toStdString());
        QFile::remove(dump);
        Simulator scale(spelling);
        ASSERT_TRUE(scale.port().startsWith(QLatin1String("tcp://")));
        const QStringList display{"display", "--port", scale.port()};

        for (int fault = 1; fault <= 2; ++fault) { // one of each --fault
            const Outcome run = scalectl(display);
            EXPECT_EQ(run.exitCode, 1) << fault;
            EXPECT_TRUE(run.err.contains(QLatin1String("answered the sync with 0x78, not 0x77")))
                << run.err.toStdString();
        }
        EXPECT_EQ(scalectl(display).out, QStringLiteral("1 2 3\n"));
        EXPECT_EQ(scale.stop(), 0);
        QFile file(dump);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().count('\n'), 3); // the three PLUs of the file
    }
}
