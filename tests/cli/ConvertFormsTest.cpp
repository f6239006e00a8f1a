// scalectl convert between the five forms of a table: its own file and a workbook as .xls,
// .xlsx or .csv, in every direction.

#include "support/ScalectlProcess.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Table files as Save writes them (Windows-1252), with accents, leading-zero texts, texts
// shaped like numbers and formulas, and names at the 28-character limit.
const struct {
    const char* table;
    const char* extension;
    QByteArray file;
} kTables[] = {
    {"plu", "plu",
     "1,1001,\"007\",\"Cr\xE8me fra\xEE\x63he \xC0 l'ancienne\",150,7,0,1,0\r\n"
     "2,0,\"0123\",\" \",99,0,-5,0,3\r\n"
     "30000,2147483647,\"=SUM(A1)\",\"-1\",-32768,32767,0,99,32767\r\n"
     "4,-7,\"12\",\"'quoted\",1,2,3,4,5\r\n"},
    {"ingred", "ingred",
     "1,\"007 \xC4pfel, \xF1\",\" \",\" \",\" \"\r\n"
     "200,\"+49 (0) 30, 'text'\",\"0042\",\"@home\",\"line; with semicolon\"\r\n"},
};

const char* const kWorkbooks[] = {"xls", "xlsx", "csv"};

// .plu -> FROM -> TO -> .plu gives back the same bytes, for each table and each pair of
// workbook forms (FROM = TO included), so every form is read and written by every other.
TEST(ConvertForms, EveryWorkbookFormInEveryDirectionGivesBackTheTableFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto convert = [&dir](const QStringList& args) {
        const auto run =
            scalectl_process::scalectl(QStringList{QStringLiteral("convert")} + args, dir.path());
        EXPECT_EQ(run.exitCode, 0) << args.join(' ').toStdString() << ": " << run.err.toStdString();
    };
    for (const auto& t : kTables) {
        const QString table = QString::fromLatin1(t.table);
        const QString in = QStringLiteral("in.") + QString::fromLatin1(t.extension);
        QFile file(dir.filePath(in));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(t.file);
        file.close();
        for (const char* from : kWorkbooks) {
            const QString first = table + QStringLiteral("-first.") + QLatin1String(from);
            convert({in, first});
            for (const char* to : kWorkbooks) {
                const QString second = table + QStringLiteral("-second.") + QLatin1String(to);
                const QString back = table + QStringLiteral("-back.") + QLatin1String(t.extension);
                convert({QStringLiteral("--table"), table, first, second});
                convert({second, back});
                EXPECT_EQ(readAll(dir.filePath(back)), t.file)
                    << t.table << ' ' << from << "->" << to;
            }
        }
    }
}

// Each form is told by the file's first bytes, whatever its name; OUT's form by its
// extension, and one it cannot write is a usage error that writes nothing.
TEST(ConvertForms, ReadsByFirstBytesWritesByExtension) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("in.plu")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kTables[0].file);
    file.close();
    const auto convert = [&dir](const QStringList& args) {
        return scalectl_process::scalectl(QStringList{QStringLiteral("convert")} + args,
                                          dir.path());
    };
    const struct {
        const char* out;
        QByteArray firstBytes;
    } forms[] = {{"a.xlsx", "PK\x03\x04"},
                 {"a.xls", "\xD0\xCF\x11\xE0"},
                 {"a.csv", "\xEF\xBB\xBF\"PLU No\""}};
    for (const auto& form : forms) {
        ASSERT_EQ(convert({QStringLiteral("in.plu"), QLatin1String(form.out)}).exitCode, 0);
        EXPECT_TRUE(readAll(dir.filePath(QLatin1String(form.out))).startsWith(form.firstBytes))
            << form.out;
        // The same workbook under a misleading name reads the same.
        ASSERT_TRUE(QFile::copy(dir.filePath(QLatin1String(form.out)),
                                dir.filePath(QStringLiteral("named-wrong.txt"))));
        const auto run = convert({QStringLiteral("named-wrong.txt"), QStringLiteral("b.plu")});
        EXPECT_EQ(run.exitCode, 0) << form.out << ": " << run.err.toStdString();
        EXPECT_EQ(readAll(dir.filePath(QStringLiteral("b.plu"))), kTables[0].file) << form.out;
        QFile::remove(dir.filePath(QStringLiteral("named-wrong.txt")));
    }

    const auto refused = convert({QStringLiteral("in.plu"), QStringLiteral("out.ods")});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral(
        "cannot write 'out.ods': OUT must end in .plu, .ingred, .xls, .xlsx or .csv")))
        << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.ods"))));
    EXPECT_EQ(convert({QStringLiteral("in.plu"), QStringLiteral("out.ingred")}).exitCode, 2);
}

} // namespace
