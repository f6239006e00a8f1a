#include "FreeXlSheet.h"
#include "TestWorkbooks.h"

#include "spreadsheet/BiffStringWriter.h"
#include "spreadsheet/WorkbookReader.h"
#include "spreadsheet/WorkbookWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <freexl.h>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

using testwb::RawRecord;

quint16 at16(const QByteArray& b, int i) {
    return quint16(quint8(b[i]) | (quint8(b[i + 1]) << 8));
}
quint32 at32(const QByteArray& b, int i) {
    return at16(b, i) | (quint32(at16(b, i + 2)) << 16);
}

Sheet smallSheet() {
    Sheet sheet;
    sheet.name = QStringLiteral("PLU 06.12.26");
    sheet.setText(0, 0, QStringLiteral("PLU No"));
    sheet.setText(0, 2, QStringLiteral("           Item Name1           "));
    sheet.setText(1, 0, QStringLiteral("1"));
    sheet.setText(1, 2, QStringLiteral("Apples"));
    return sheet;
}

QByteArray bytesOf(const Sheet& sheet) {
    QString error;
    const auto bytes = workbookBytes(sheet, &error);
    EXPECT_TRUE(bytes.has_value()) << error.toStdString();
    return bytes.value_or(QByteArray());
}

QString saveTemp(const QTemporaryDir& dir, const Sheet& sheet) {
    const QString path = dir.filePath(QStringLiteral("out.xls"));
    QString error;
    EXPECT_TRUE(saveWorkbook(path, sheet, &error)) << error.toStdString();
    return path;
}

TEST(WorkbookContainer, StreamIsPaddedAndItsChainIsExactlyAsLongAsDeclared) {
    for (int rows : {1, 600}) {
        Sheet sheet = smallSheet();
        for (int r = 1; r <= rows; ++r)
            sheet.setText(r, 2, QStringLiteral("Name number %1").arg(r));
        const QByteArray file = bytesOf(sheet);
        ASSERT_EQ(file.size() % 512, 0);
        EXPECT_EQ(at16(file, 0x1A), 3);     // version 3
        EXPECT_EQ(at16(file, 0x1E), 9);     // 512-byte sectors
        EXPECT_EQ(at32(file, 0x38), 4096u); // mini stream cutoff
        const quint32 fatSectors = at32(file, 0x2C);
        const quint32 directory = at32(file, 0x30);
        const QByteArray dir = file.mid((directory + 1) * 512, 512);
        EXPECT_EQ(dir.mid(0x80, 16), QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16));
        EXPECT_EQ(dir[0x80 + 0x42], 2); // a stream
        const quint32 start = at32(dir, 0x80 + 0x74);
        const quint32 size = at32(dir, 0x80 + 0x78);
        EXPECT_GE(size, 4096u);
        // Walk the FAT: exactly ceil(size / 512) sectors, then the end mark.
        QByteArray fat;
        for (quint32 i = 0; i < fatSectors; ++i)
            fat += file.mid((at32(file, 0x4C + 4 * int(i)) + 1) * 512, 512);
        quint32 sector = start;
        quint32 length = 0;
        while (sector != 0xFFFFFFFE && length < 100000) {
            ++length;
            sector = at32(fat, int(sector) * 4);
        }
        EXPECT_EQ(length, (size + 511) / 512) << rows;
        // Everything after the last EOF record is zero padding.
        const QByteArray stream = testwb::workbookStream(file);
        ASSERT_EQ(quint32(stream.size()), size);
        const QVector<RawRecord> records = testwb::records(stream);
        ASSERT_FALSE(records.isEmpty());
        EXPECT_EQ(records.last().id, 0x000A);
    }
}

TEST(WorkbookRecords, GlobalsAndSheetCarryExactlyTheDeclaredRecordSet) {
    const QVector<RawRecord> records =
        testwb::records(testwb::workbookStream(bytesOf(smallSheet())));
    QVector<quint16> ids;
    for (const RawRecord& r : records)
        ids.append(r.id);
    QVector<quint16> expected = {0x0809, 0x0042, 0x003D, 0x0031, 0x0031, 0x0031, 0x0031, 0x0031};
    for (int i = 0; i < 16; ++i)
        expected.append(0x00E0);
    expected += {0x0293, 0x0085, 0x00FC, 0x000A, // globals
                 0x0809, 0x007D, 0x007D, 0x0200, // sheet head
                 0x00FD, 0x00FD, 0x0203, 0x00FD, // A1 C1 A2 C2
                 0x023E, 0x001D, 0x000A};        // sheet tail
    EXPECT_EQ(ids, expected);

    EXPECT_EQ(records[0].body.toHex(), QByteArray("00060500bb0dcc070000000006000000"));
    EXPECT_EQ(records[1].body.toHex(), QByteArray("b004")); // CODEPAGE 1200
    EXPECT_EQ(records[3].body.toHex(), QByteArray("c8000000ff7f9001000000000000050041726961"
                                                  "6c"));
    EXPECT_EQ(records[8].body.toHex(), QByteArray("00000000f5ff200000000000000000000000c020"));
    EXPECT_EQ(records[9].body.toHex(), QByteArray("00000000f5ff200000f40000000000000000c020"));
    EXPECT_EQ(records[23].body.toHex(), QByteArray("000000000100200000000000000000000000c020"));
    EXPECT_EQ(records[24].body.toHex(), QByteArray("008000ff"));
    // BOUNDSHEET points at the sheet's BOF.
    const QByteArray stream = testwb::workbookStream(bytesOf(smallSheet()));
    const quint32 sheetOffset = at32(records[25].body, 0);
    EXPECT_EQ(stream.mid(sheetOffset, 6).toHex(), QByteArray("090810000006"));
    EXPECT_EQ(records[25].body.mid(4), QByteArray("\x00\x00\x0C\x00PLU 06.12.26", 16));

    // COLINFO: columns A and C, each one character wider than its longest text.
    EXPECT_EQ(records[29].body.toHex(), QByteArray("000000000007"
                                                   "0f0000000000"));
    EXPECT_EQ(records[30].body.toHex(), QByteArray("020002000021"
                                                   "0f0000000000"));
    // DIMENSIONS: rows 0..1, columns 0..2.
    EXPECT_EQ(records[31].body.toHex(), QByteArray("0000000002000000000003000000"));
    EXPECT_EQ(records[36].body.toHex(), QByteArray("b606000000004000000000000000000000"
                                                   "00"));
    // SELECTION: A2 is the active cell.
    EXPECT_EQ(records[37].body.toHex(), QByteArray("030100000000000100010001000000"));
}

TEST(WorkbookRecords, TextThatReadsBackExactlyAsANumberIsWrittenAsANumber) {
    const QStringList numbers = {"1", "1250", "12.5", "-3", "0", "0.1", "123456789"};
    const QStringList texts = {"0123", "1.50", " 7", "7 ",  "+7",   "1e3",
                               "-0",   "1.",   ".5", "abc", "12,5", "00"};
    Sheet sheet;
    sheet.name = QStringLiteral("N");
    int row = 0;
    for (const QString& t : numbers + texts)
        sheet.setText(row++, 0, t);
    const QByteArray file = bytesOf(sheet);
    QHash<int, quint16> kindOfRow;
    for (const RawRecord& r : testwb::records(testwb::workbookStream(file))) {
        if (r.id == 0x0203 || r.id == 0x00FD)
            kindOfRow.insert(at16(r.body, 0), r.id);
    }
    for (int i = 0; i < numbers.size() + texts.size(); ++i)
        EXPECT_EQ(kindOfRow.value(i), i < numbers.size() ? 0x0203 : 0x00FD) << i;

    const WorkbookRead back = readWorkbook(file);
    ASSERT_TRUE(back.sheet) << back.error.toStdString();
    EXPECT_EQ(back.sheet->cells, sheet.cells);

    QTemporaryDir dir;
    const FreeXlSheet freexl = readWithFreeXl(saveTemp(dir, sheet));
    ASSERT_TRUE(freexl.ok);
    for (int i = 0; i < numbers.size() + texts.size(); ++i) {
        const FreeXlCell cell = freexl.cells.value({i, 0});
        EXPECT_EQ(cell.text, sheet.text(i, 0)) << i;
        EXPECT_EQ(cell.type, i < numbers.size() ? FREEXL_CELL_DOUBLE : FREEXL_CELL_SST_TEXT) << i;
    }
}

TEST(WorkbookSst, LongTableOfLongNamesContinuesAcrossRecordsAndReadsBackEverywhere) {
    Sheet sheet;
    sheet.name = QStringLiteral("PLU 01.02.03");
    for (int r = 1; r <= 600; ++r) {
        sheet.setText(r, 0, QString::number(r));
        // Lengths vary so that the record limit falls at every kind of position; a third
        // of the names need UTF-16.
        const QString base =
            r % 3 == 0 ? QStringLiteral("Ωmega-€-%1 ") : QStringLiteral("Name é %1 ");
        sheet.setText(r, 2, base.arg(r).repeated(1 + r % 17));
        sheet.setText(r, 3, QStringLiteral("x").repeated(r % 97));
    }
    const QByteArray file = bytesOf(sheet);
    const QVector<RawRecord> records = testwb::records(testwb::workbookStream(file));
    int continues = 0;
    for (qsizetype i = 0; i < records.size(); ++i) {
        EXPECT_LE(records[i].body.size(), 8224);
        if (records[i].id == 0x003C) {
            ++continues;
            EXPECT_TRUE(records[i - 1].id == 0x00FC || records[i - 1].id == 0x003C);
        }
    }
    EXPECT_GE(continues, 5);

    const WorkbookRead back = readWorkbook(file);
    ASSERT_TRUE(back.sheet) << back.error.toStdString();
    EXPECT_EQ(back.sheet->cells, sheet.cells);
    EXPECT_EQ(back.sheet->name, sheet.name);

    QTemporaryDir dir;
    const FreeXlSheet freexl = readWithFreeXl(saveTemp(dir, sheet));
    ASSERT_TRUE(freexl.ok);
    EXPECT_EQ(freexl.biffVersion, 8);
    EXPECT_EQ(freexl.sheetName, sheet.name);
    EXPECT_EQ(freexl.rows, 601u);
    int matched = 0;
    for (auto it = sheet.cells.cbegin(); it != sheet.cells.cend(); ++it) {
        const QPair<int, int> pos{Sheet::rowOf(it.key()), Sheet::colOf(it.key())};
        EXPECT_EQ(freexl.cells.value(pos).text, it.value()) << pos.first << "," << pos.second;
        ++matched;
    }
    EXPECT_EQ(matched, freexl.cells.size());
}

TEST(WorkbookSst, RecordLimitNeverSplitsAHeaderOrACharacter) {
    // The counts take 8 bytes. A 8213-char 8-bit string ends 3 + 8213 + 8 = 8224: full.
    // Then a header with its first character must start the next record.
    const QString fill = QString(8213, QLatin1Char('a'));
    QVector<QByteArray> bodies = biffstring::sharedStringTable({fill, QStringLiteral("bc")}, 2);
    ASSERT_EQ(bodies.size(), 2);
    EXPECT_EQ(bodies[0].size(), 8224);
    EXPECT_EQ(bodies[1].toHex(), QByteArray("020000"
                                            "6263"));

    // Two bytes short of full: the next header (3 bytes) plus its first character do not
    // fit, so the string moves whole into the next record (no flags byte of its own).
    bodies =
        biffstring::sharedStringTable({QString(8211, QLatin1Char('a')), QStringLiteral("bc")}, 2);
    ASSERT_EQ(bodies.size(), 2);
    EXPECT_EQ(bodies[0].size(), 8222);
    EXPECT_EQ(bodies[1].toHex(), QByteArray("020000"
                                            "6263"));

    // A UTF-16 string crossing the limit: an odd number of bytes left means the last byte of
    // the record stays empty; the rest restarts with the flags byte 01.
    const QString wide = QString(5000, QChar(0x03A9));
    bodies = biffstring::sharedStringTable({QString(101, QLatin1Char('a')), wide}, 2);
    ASSERT_EQ(bodies.size(), 2);
    const qsizetype firstChars = (8224 - (8 + 3 + 101) - 3) / 2;
    EXPECT_EQ(bodies[0].size(), 8223);
    EXPECT_EQ(bodies[0].size(), 8 + 3 + 101 + 3 + 2 * firstChars);
    EXPECT_EQ(bodies[1].size(), 1 + 2 * (5000 - firstChars));
    EXPECT_EQ(quint8(bodies[1][0]), 0x01);
    EXPECT_EQ(bodies[1].mid(1, 2).toHex(), QByteArray("a903"));

    // An 8-bit string crossing the limit restarts with flags 00.
    bodies = biffstring::sharedStringTable({QString(9000, QLatin1Char('z'))}, 1);
    ASSERT_EQ(bodies.size(), 2);
    EXPECT_EQ(quint8(bodies[1][0]), 0x00);
    EXPECT_EQ(bodies[1].size(), 1 + 9000 - (8224 - 11));
}

TEST(WorkbookWriterRefuses, BadSheetNamesAndOversizedSheets) {
    QString error;
    Sheet sheet = smallSheet();
    for (const QString& name : {QString(), QString(32, QLatin1Char('a')), QStringLiteral("a/b"),
                                QStringLiteral("a[1]")}) {
        sheet.name = name;
        EXPECT_FALSE(workbookBytes(sheet, &error).has_value()) << name.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    sheet.name = QStringLiteral("ok");
    sheet.setText(65536, 0, QStringLiteral("x"));
    EXPECT_FALSE(workbookBytes(sheet, &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("65536")));
    Sheet longCell;
    longCell.name = QStringLiteral("ok");
    longCell.setText(0, 0, QString(40000, QLatin1Char('x')));
    EXPECT_FALSE(workbookBytes(longCell, &error).has_value());
}

TEST(WorkbookSave, FailedSaveLeavesTheEarlierFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = saveTemp(dir, smallSheet());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    Sheet bad = smallSheet();
    bad.name = QStringLiteral("bad/name");
    QString error;
    EXPECT_FALSE(saveWorkbook(path, bad, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(
        saveWorkbook(dir.filePath(QStringLiteral("no/such/dir/x.xls")), smallSheet(), &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();

    // A write that fails part-way keeps the system's reason (here: the process may not
    // write files this large, as on a full disk).
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool savedBig = saveWorkbook(path, smallSheet(), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(savedBig);
    EXPECT_EQ(error, QStringLiteral("File too large"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

} // namespace
