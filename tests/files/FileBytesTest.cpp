#include "files/FileBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class FileBytesOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QFile file(path("101.plu"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(101, 'x'));
        file.close();
        ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.plu")).constData(), 0600), 0);
        ASSERT_TRUE(QFile::link(path("101.plu"), path("link.plu")));
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero.xls")));
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
};

// Only a regular file is read: a pipe would block the reader for ever and a device such as
// /dev/zero never ends, whatever their names.
TEST_F(FileBytesOnDisk, OnlyRegularFilesWithinTheLimitAreRead) {
    const struct {
        QString path;
        ReadLimit limit;
        QString error;
    } cases[] = {
        {path("101.plu"), {101, "a table file"}, QString()},
        {path("link.plu"), {101, "a table file"}, QString()},
        {path("101.plu"),
         {100, "a table file"},
         "it is too large for a table file (over 100 bytes)"},
        {path("101.plu"), {100, "a workbook"}, "it is too large for a workbook (over 100 bytes)"},
        {dir.path(), kTableFileLimit, "it is a folder"},
        {path("fifo.plu"), kTableFileLimit, "it is a pipe, not a file"},
        {path("zero.xls"), kTableFileLimit, "it is a device, not a file"},
        {path("missing.plu"), kTableFileLimit, "No such file or directory"},
    };
    for (const auto& c : cases) {
        const FileBytes read = readFileBytes(c.path, c.limit);
        EXPECT_EQ(read.error, c.error) << c.path.toStdString();
        EXPECT_EQ(read.bytes.size(), c.error.isEmpty() ? 101 : 0) << c.path.toStdString();
    }
}

// Saving onto a pipe or a folder must neither replace it with a file nor write into it.
TEST_F(FileBytesOnDisk, OnlyRegularFilesAreReplaced) {
    EXPECT_EQ(writeFileAtomically(path("fifo.plu"), "x"),
              QStringLiteral("it is a pipe, not a file"));
    EXPECT_FALSE(QFileInfo(path("fifo.plu")).isFile());
    EXPECT_TRUE(QFileInfo::exists(path("fifo.plu")));
    EXPECT_EQ(writeFileAtomically(dir.path(), "x"), QStringLiteral("it is a folder"));

    EXPECT_EQ(writeFileAtomically(path("101.plu"), "new"), QString());
    EXPECT_EQ(readFileBytes(path("101.plu")).bytes, QByteArray("new"));
}

} // namespace
