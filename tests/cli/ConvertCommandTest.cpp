#include "support/ScalectlProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using CliRun = scalectl_process::Outcome;
using scalectl_process::scalectl;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class ConvertCommand : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(ConvertCommand, WritesWhatSaveWritesAfterOpen) {
    // LF lines, an empty name, no line end at the end: written back in the saved form.
    writeAll(dir.filePath("in.plu"),
             "1,0,\"A\",\"\",100,0,0,0,0\n-5,7,\"Cr\xE8me\",\"x\",1,2,3,4,5");
    const CliRun plu = scalectl({"convert", "in.plu", "out.PLU"}, dir.path());
    EXPECT_EQ(plu.exitCode, 0) << plu.err.toStdString();
    EXPECT_EQ(plu.out, QStringLiteral("PLU Count is 2\nPLU Count is 2\n"));
    EXPECT_EQ(readAll(dir.filePath("out.PLU")),
              QByteArray("1,0,\"A\",\" \",100,0,0,0,0\r\n-5,7,\"Cr\xE8me\",\"x\",1,2,3,4,5\r\n"));

    writeAll(dir.filePath("in.INGRED"), "7,\"A\",\"\",\"\",\"\"\r\n");
    const CliRun ingred = scalectl({"convert", "in.INGRED", "out.ingred"}, dir.path());
    EXPECT_EQ(ingred.exitCode, 0) << ingred.err.toStdString();
    EXPECT_EQ(ingred.out, QStringLiteral("Message Count is 1\nINGRED Count is 1\n"));
    EXPECT_EQ(readAll(dir.filePath("out.ingred")), QByteArray("7,\"A\",\" \",\" \",\" \"\r\n"));
}

TEST_F(ConvertCommand, FileErrorsExitWithThree) {
    writeAll(dir.filePath("bad.plu"), "1,0,\"A\",\" \",100,0,abc,0,0\r\n");
    const CliRun bad = scalectl({"convert", "bad.plu", "out.plu"}, dir.path());
    EXPECT_EQ(bad.exitCode, 3);
    EXPECT_EQ(bad.err, QStringLiteral("Cannot open \"bad.plu\": line 1, Tare: \"abc\" is not a "
                                      "number\n"));
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("out.plu")));

    const CliRun missing = scalectl({"convert", "none.ingred", "out.ingred"}, dir.path());
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("Cannot open \"none.ingred\": ")));

    writeAll(dir.filePath("good.plu"), "1,0,\"A\",\" \",100,0,0,0,0\r\n");
    const CliRun unwritable = scalectl({"convert", "good.plu", "no/such/dir/out.plu"}, dir.path());
    EXPECT_EQ(unwritable.exitCode, 3);
    EXPECT_TRUE(
        unwritable.err.startsWith(QStringLiteral("Cannot save \"%1\": ")
                                      .arg(QDir::toNativeSeparators("no/such/dir/out.plu"))))
        << unwritable.err.toStdString();
}

TEST_F(ConvertCommand, UsageErrorsExitWithTwo) {
    const QList<QStringList> wrong = {
        {"convert"},
        {"convert", "a.plu"},
        {"convert", "a.plu", "b.plu", "c.plu"},
        {"convert", "a.plu", "b.ingred"},
        {"convert", "a.txt", "b.plu"},
        {"convert", "--frobnicate", "a.plu", "b.plu"},
    };
    for (const QStringList& args : wrong) {
        const CliRun run = scalectl(args, dir.path());
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage: scalectl convert IN OUT")))
            << run.err.toStdString();
    }
    const CliRun help = scalectl({"convert", "--help"}, dir.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: scalectl convert IN OUT")));
}

} // namespace
