#include "TestWorkbooks.h"

#include "spreadsheet/CompoundFileWriter.h"
#include "spreadsheet/WorkbookReader.h"

#include <gtest/gtest.h>

namespace {

using namespace testwb;

QByteArray inContainer(const QByteArray& stream) {
    return writeCompoundFile(stream).value();
}

Sheet readOk(const QByteArray& file) {
    const WorkbookRead read = readWorkbook(file);
    EXPECT_TRUE(read.sheet.has_value()) << read.error.toStdString();
    return read.sheet.value_or(Sheet());
}

QString readError(const QByteArray& file) {
    const WorkbookRead read = readWorkbook(file);
    EXPECT_FALSE(read.sheet.has_value());
    EXPECT_FALSE(read.error.isEmpty());
    return read.error;
}

QByteArray rk(int row, int col, quint32 value) {
    return record(0x027E, cellPrefix(row, col) + u32(value));
}

TEST(BiffCells, EveryNumberFormGivesItsPlainDecimalText) {
    const QByteArray sheet =
        record(0x0203, cellPrefix(0, 0) + f64(1250)) + // NUMBER
        record(0x0203, cellPrefix(0, 1) + f64(12.5)) + //
        record(0x0203, cellPrefix(0, 2) + f64(-0.0)) + //
        record(0x0203, cellPrefix(0, 3) + f64(1e22)) + //
        rk(1, 0, (7u << 2) | 2) +                      // RK integer
        rk(1, 1, (quint32(-1234) << 2) | 3) +          // RK integer / 100
        rk(1, 2, 0x3FF80000u) +                        // RK double 1.5
        rk(1, 3, 0x3FF80000u | 1) +                    // RK double / 100
        record(0x00BD, u16(2) + u16(1) + u16(15) + u32((5u << 2) | 2) + u16(15) +
                           u32((6u << 2) | 2) + u16(2)) +             // MULRK B3:C3
        record(0x0201, cellPrefix(3, 0)) +                            // BLANK
        record(0x00BE, u16(3) + u16(1) + u16(15) + u16(15) + u16(2)); // MULBLANK
    const Sheet read = readOk(inContainer(biff8Stream({}, sheet)));
    EXPECT_EQ(read.name, QStringLiteral("Sheet1"));
    EXPECT_EQ(read.text(0, 0), QStringLiteral("1250"));
    EXPECT_EQ(read.text(0, 1), QStringLiteral("12.5"));
    EXPECT_EQ(read.text(0, 2), QStringLiteral("0"));
    EXPECT_EQ(read.text(0, 3), QStringLiteral("1e+22"));
    EXPECT_EQ(read.text(1, 0), QStringLiteral("7"));
    EXPECT_EQ(read.text(1, 1), QStringLiteral("-12.34"));
    EXPECT_EQ(read.text(1, 2), QStringLiteral("1.5"));
    EXPECT_EQ(read.text(1, 3), QStringLiteral("0.015"));
    EXPECT_EQ(read.text(2, 1), QStringLiteral("5"));
    EXPECT_EQ(read.text(2, 2), QStringLiteral("6"));
    EXPECT_EQ(read.cells.size(), 10);
}

TEST(BiffCells, FormulasGiveTheirStoredResultAndOtherCellKindsTheirText) {
    const QByteArray formulaTail = u16(0) + u32(0) + u16(0); // flags, chain, empty expression
    auto formula = [&](int col, const QByteArray& result) {
        return record(0x0006, cellPrefix(0, col) + result + formulaTail);
    };
    const QByteArray sheet =
        formula(0, f64(42)) +
        formula(1, QByteArray("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8)) + // text result ...
        record(0x04BC, QByteArray(8, '\0')) +                           // (shared formula)
        record(0x0207, unicodeString(QStringLiteral("Pears"))) +        // ... in STRING
        formula(2, QByteArray("\x01\x00\x01\x00\x00\x00\xFF\xFF", 8)) + // TRUE
        formula(3, QByteArray("\x02\x00\x07\x00\x00\x00\xFF\xFF", 8)) + // #DIV/0!
        formula(4, QByteArray("\x03\x00\x00\x00\x00\x00\xFF\xFF", 8)) + // empty text
        record(0x0205, cellPrefix(0, 5) + QByteArray("\x00\x00", 2)) +  // FALSE
        record(0x0205, cellPrefix(0, 6) + QByteArray("\x2A\x01", 2)) +  // #N/A
        record(0x0204, cellPrefix(0, 7) + unicodeString(QStringLiteral("Käse €"))) +
        record(0x00D6, cellPrefix(0, 8) + unicodeString(QStringLiteral("rich")) + u16(0)) +
        // An embedded chart brings records of its own that are not cells of the sheet.
        bof(0x0600, 0x0020) + record(0x0203, cellPrefix(9, 9) + f64(1)) + record(0x000A, {});
    const Sheet read = readOk(inContainer(biff8Stream({}, sheet)));
    const QStringList expected = {"42",    "Pears", "TRUE",   "#DIV/0!", "",
                                  "FALSE", "#N/A",  "Käse €", "rich"};
    for (int c = 0; c < expected.size(); ++c)
        EXPECT_EQ(read.text(0, c), expected[c]) << c;
    EXPECT_TRUE(read.text(9, 9).isEmpty());
}

TEST(BiffSst, StringsAcrossContinueWithRichTextAndPhoneticDataSkipped) {
    // String 0: 8-bit, 2 rich-text runs. String 1: starts 8-bit, continues as UTF-16 in the
    // CONTINUE record. String 2: phonetic data that itself runs into the next record.
    QByteArray first = u32(3) + u32(3);
    first += u16(3) + QByteArray(1, 0x08) + u16(2) + QByteArray("abc") + QByteArray(8, 'r');
    first += u16(4) + QByteArray(1, 0x00) + QByteArray("de");
    QByteArray second = QByteArray(1, 0x01) + u16(0x03A9) + u16(0x00E9);
    second += u16(2) + QByteArray(1, 0x04) + u32(6) + QByteArray("gh") + QByteArray("ph");
    const QByteArray third = QByteArray("onet");
    const QByteArray globals =
        record(0x00FC, first) + record(0x003C, second) + record(0x003C, third);
    const QByteArray sheet = record(0x00FD, cellPrefix(0, 0) + u32(0)) +
                             record(0x00FD, cellPrefix(0, 1) + u32(1)) +
                             record(0x00FD, cellPrefix(0, 2) + u32(2));
    const Sheet read = readOk(inContainer(biff8Stream(globals, sheet)));
    EXPECT_EQ(read.text(0, 0), QStringLiteral("abc"));
    EXPECT_EQ(read.text(0, 1), QString::fromUtf16(u"deΩé"));
    EXPECT_EQ(read.text(0, 2), QStringLiteral("gh"));
}

TEST(BiffSheets, TheFirstWorksheetInWorkbookOrderIsRead) {
    // A chart sheet first, then two worksheets; the second worksheet is the active tab.
    QByteArray globals = bof(0x0600, 0x0005);
    auto entry = [](quint8 type, const QString& name) {
        return record(0x0085, u32(0) + QByteArray(1, 0) + QByteArray(1, char(type)) +
                                  unicodeString(name, true));
    };
    globals += record(0x003D, u16(0) + u16(0) + u16(0x4000) + u16(0x2000) + u16(0x38) + u16(2) +
                                  u16(0) + u16(1) + u16(0x258));
    const qsizetype chartAt = globals.size() + 4;
    globals += entry(2, QStringLiteral("Chart"));
    const qsizetype firstAt = globals.size() + 4;
    globals += entry(0, QStringLiteral("First"));
    const qsizetype secondAt = globals.size() + 4;
    globals += entry(0, QStringLiteral("Second"));
    globals += record(0x000A, {});
    const QByteArray chart = bof(0x0600, 0x0020) + record(0x000A, {});
    const QByteArray firstSheet = bof(0x0600, 0x0010) +
                                  record(0x0204, cellPrefix(0, 0) + unicodeString("one")) +
                                  record(0x000A, {});
    const QByteArray secondSheet = bof(0x0600, 0x0010) +
                                   record(0x0204, cellPrefix(0, 0) + unicodeString("two")) +
                                   record(0x000A, {});
    QByteArray stream = globals + chart + firstSheet + secondSheet;
    stream.replace(chartAt, 4, u32(quint32(globals.size())));
    stream.replace(firstAt, 4, u32(quint32(globals.size() + chart.size())));
    stream.replace(secondAt, 4, u32(quint32(globals.size() + chart.size() + firstSheet.size())));
    const Sheet read = readOk(inContainer(stream));
    EXPECT_EQ(read.name, QStringLiteral("First"));
    EXPECT_EQ(read.text(0, 0), QStringLiteral("one"));
}

TEST(BiffSheets, Biff5BookStreamDecodesTextsInTheWorkbookCodePage) {
    auto stream = [](quint16 codePage, const QByteArray& label) {
        QByteArray globals = bof(0x0500, 0x0005) + record(0x0042, u16(codePage));
        const qsizetype offsetAt = globals.size() + 4;
        globals += record(0x0085, u32(0) + QByteArray(1, 0) + QByteArray(1, 0) +
                                      QByteArray("\x05"
                                                 "Bl\xE4tt",
                                                 6)) +
                   record(0x000A, {});
        globals.replace(offsetAt, 4, u32(quint32(globals.size())));
        return globals + bof(0x0500, 0x0010) +
               record(0x0204, cellPrefix(0, 0) + u16(quint16(label.size())) + label) +
               record(0x0203, cellPrefix(1, 0) + f64(3)) + record(0x000A, {});
    };
    ContainerOptions book;
    book.streamName = QStringLiteral("Book");
    book.miniStream = true;
    Sheet read = readOk(container(stream(1252, "\x80 5"), book));
    EXPECT_EQ(read.name, QString::fromUtf16(u"Blätt"));
    EXPECT_EQ(read.text(0, 0), QString::fromUtf16(u"€ 5"));
    EXPECT_EQ(read.text(1, 0), QStringLiteral("3"));
    read = readOk(container(stream(1251, "\xC0\xE1"), book)); // Cyrillic
    EXPECT_EQ(read.text(0, 0), QString::fromUtf16(u"Аб"));
}

TEST(CompoundFile, LargeSectorsAndTheMiniStreamAreRead) {
    const QByteArray stream =
        biff8Stream({}, record(0x0204, cellPrefix(2, 1) + unicodeString("mini")));
    ASSERT_LT(stream.size(), 4096);
    ContainerOptions mini;
    mini.miniStream = true;
    EXPECT_EQ(readOk(container(stream, mini)).text(2, 1), QStringLiteral("mini"));
    ContainerOptions v4;
    v4.majorVersion = 4;
    QByteArray padded = stream + QByteArray(5000, '\0');
    EXPECT_EQ(readOk(container(padded, v4)).text(2, 1), QStringLiteral("mini"));
    v4.miniStream = true;
    EXPECT_EQ(readOk(container(stream, v4)).text(2, 1), QStringLiteral("mini"));
    // A small stream in regular sectors, in a file without a mini stream, is read as well.
    EXPECT_EQ(readOk(container(stream)).text(2, 1), QStringLiteral("mini"));
}

// --- files that are not what they claim, damaged containers and damaged records ---

TEST(NotAWorkbook, OtherFilesAreNamedForWhatTheyAre) {
    EXPECT_TRUE(readError(QByteArray()).contains(QStringLiteral("empty")));
    EXPECT_TRUE(readError(QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + QByteArray(200, 'x'))
                    .contains(QStringLiteral(".xlsx")));
    EXPECT_TRUE(readError("PLU No;Item Code\n1;2\n").contains(QStringLiteral("not an .xls")));
    EXPECT_TRUE(readError(QByteArray("\x09\x04\x06\x00\x00\x00\x10\x00", 8))
                    .contains(QStringLiteral("old format")));
    ContainerOptions word;
    word.streamName = QStringLiteral("WordDocument");
    EXPECT_TRUE(
        readError(container(QByteArray(5000, 'w'), word)).contains(QStringLiteral("no workbook")));
    const QByteArray encrypted = biff8Stream(record(0x002F, u16(1) + QByteArray(52, 'k')),
                                             record(0x0203, cellPrefix(0, 0) + f64(1)));
    EXPECT_TRUE(readError(inContainer(encrypted)).contains(QStringLiteral("encrypted")));
}

class DamagedContainer : public ::testing::Test {
protected:
    // A workbook of 8 stream sectors (4096 bytes) followed by one FAT sector and the
    // directory: sector n starts at byte (n + 1) * 512.
    void SetUp() override {
        file = inContainer(biff8Stream({}, record(0x0204, cellPrefix(0, 0) + unicodeString("x"))));
        ASSERT_EQ(file.size(), 512 + 10 * 512);
    }
    void setFat(int sector, quint32 next) { file.replace(9 * 512 + 4 * sector, 4, u32(next)); }
    void setHeader(int offset, quint32 value) { file.replace(offset, 4, u32(value)); }
    void setStreamSize(quint32 size) { file.replace(10 * 512 + 128 + 0x78, 4, u32(size)); }
    QByteArray file;
};

TEST_F(DamagedContainer, EveryDamageEndsInAClearError) {
    const QByteArray good = file;
    EXPECT_TRUE(readWorkbook(good).sheet.has_value());

    setFat(5, 2); // the stream's chain loops back
    EXPECT_TRUE(readError(file).contains(QStringLiteral("loops")));
    file = good;
    setFat(3, 0xFFFFFFFE); // the chain ends after 4 of 8 sectors
    EXPECT_TRUE(readError(file).contains(QStringLiteral("shorter than declared")));
    file = good;
    setFat(3, 4000); // the chain leaves the file
    EXPECT_TRUE(readError(file).contains(QStringLiteral("outside the file")));
    file = good;
    setStreamSize(0x7FFFFFFF);
    EXPECT_TRUE(readError(file).contains(QStringLiteral("larger than the file")));
    file = good;
    setFat(9, 9); // the directory's chain points at itself
    EXPECT_TRUE(readError(file).contains(QStringLiteral("loops")));
    file = good;
    setHeader(0x30, 77); // directory past the end
    EXPECT_TRUE(readError(file).contains(QStringLiteral("outside the file")));
    file = good;
    setHeader(0x2C, 500); // more FAT sectors than the file has
    EXPECT_TRUE(readError(file).contains(QStringLiteral("FAT sectors")));
    file = good;
    setHeader(0x2C, 3); // FAT list needs the DIFAT, which is missing
    setHeader(0x4C + 4, 0xFFFFFFFF);
    EXPECT_FALSE(readError(file).isEmpty());
    file = good;
    file.replace(0x1E, 2, u16(7)); // a sector size no version has
    EXPECT_TRUE(readError(file).contains(QStringLiteral("sector shift")));
    // Cut anywhere: an error, never a crash.
    for (int size = 0; size < good.size(); size += 97)
        readWorkbook(good.left(size));
}

TEST(DamagedContainerLarge, DifatChainThatLoopsIsAnError) {
    // Enough sectors for more FAT sectors than the header and one DIFAT sector can list.
    const QByteArray stream = biff8Stream({}, {}) + QByteArray(250 * 512, '\0');
    QByteArray file = inContainer(stream);
    file.replace(0x2C, 4, u32(240));
    file.replace(0x44, 4, u32(2));
    file.replace(3 * 512 + 508, 4, u32(2)); // sector 2 names itself as the next DIFAT sector
    EXPECT_TRUE(readError(file).contains(QStringLiteral("loops")));
    file.replace(3 * 512 + 508, 4, u32(0xFFFFFFFE));
    EXPECT_TRUE(readError(file).contains(QStringLiteral("ends early")));
}

TEST(DamagedRecords, EveryDamageEndsInAClearError) {
    const QByteArray cell = record(0x0204, cellPrefix(0, 0) + unicodeString("abc"));
    // A record that claims more bytes than the stream has.
    QByteArray past = biff8Stream({}, cell);
    past.chop(4);                                          // the sheet's EOF
    past += u16(0x0203) + u16(8000) + QByteArray(10, 'x'); // beyond the zero padding too
    EXPECT_TRUE(readError(inContainer(past)).contains(QStringLiteral("runs past the end")));
    // A record longer than BIFF8 allows, though all there: the rest of the sheet after it
    // cannot be trusted.
    const QByteArray oversized =
        u16(0x0203) + u16(8225) + cellPrefix(0, 1) + QByteArray(8225 - 6, '\0');
    EXPECT_TRUE(readError(inContainer(biff8Stream({}, oversized + cell)))
                    .endsWith(QStringLiteral(
                        "is longer than the format allows (8225 bytes, at most 8224)")));
    // The sheet never ends.
    QByteArray open = biff8Stream({}, cell);
    open.chop(4);
    EXPECT_TRUE(readError(inContainer(open)).contains(QStringLiteral("end record")));
    // A LABEL whose string is longer than its record.
    const QByteArray shortLabel =
        record(0x0204, cellPrefix(0, 0) + u16(40) + QByteArray(1, 0) + QByteArray("abc"));
    EXPECT_TRUE(
        readError(inContainer(biff8Stream({}, shortLabel))).contains(QStringLiteral("cut short")));
    // A NUMBER too short for its value.
    const QByteArray shortNumber = record(0x0203, cellPrefix(0, 0) + QByteArray(3, 0));
    EXPECT_TRUE(
        readError(inContainer(biff8Stream({}, shortNumber))).contains(QStringLiteral("cut short")));
    // A shared string table whose last string is cut short.
    const QByteArray sst = record(0x00FC, u32(1) + u32(1) + u16(50) + QByteArray(1, 0) + "abc");
    EXPECT_TRUE(
        readError(inContainer(biff8Stream(sst, {}))).contains(QStringLiteral("shared strings")));
    // A cell that refers to a shared string that does not exist.
    const QByteArray sst1 = record(0x00FC, u32(1) + u32(1) + u16(1) + QByteArray(1, 0) + "a");
    EXPECT_TRUE(readError(inContainer(biff8Stream(sst1, record(0x00FD, cellPrefix(0, 0) + u32(7)))))
                    .contains(QStringLiteral("shared string 7")));
    // A UTF-16 string split in the middle of a character.
    const QByteArray halves = record(0x00FC, u32(1) + u32(1) + u16(2) + QByteArray(1, 1) + "\xA9") +
                              record(0x003C, QByteArray(1, 1) + "\x03\xA9\x03");
    EXPECT_FALSE(readError(inContainer(biff8Stream(halves, {}))).isEmpty());
    // The sheet offset points nowhere / at something that is not a worksheet.
    QByteArray misplaced = biff8Stream({}, cell);
    const int boundSheetOffset = int(misplaced.indexOf(QByteArray("\x85\x00", 2))) + 4;
    misplaced.replace(boundSheetOffset, 4, u32(999999));
    EXPECT_TRUE(readError(inContainer(misplaced)).contains(QStringLiteral("outside")));
    misplaced.replace(boundSheetOffset, 4, u32(4));
    EXPECT_FALSE(readError(inContainer(misplaced)).isEmpty());
    // No worksheet at all, and a stream that does not start with BOF.
    EXPECT_TRUE(readError(inContainer(bof(0x0600, 0x0005) + record(0x000A, {})))
                    .contains(QStringLiteral("no worksheet")));
    EXPECT_FALSE(readError(inContainer(record(0x0042, u16(1200)))).isEmpty());
    EXPECT_TRUE(readError(inContainer(bof(0x0200, 0x0005))).contains(QStringLiteral("version")));
}

} // namespace
