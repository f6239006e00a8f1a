#include "spreadsheet/BiffReader.h"

#include "spreadsheet/BiffRecords.h"
#include "spreadsheet/BiffStringReader.h"
#include "spreadsheet/CellText.h"
#include "spreadsheet/LittleEndian.h"

#include <QStringList>
#include <QVector>

#include <cstring>
#include <utility>

namespace {

struct Record {
    quint16 id = 0;
    qsizetype offset = 0; // of the record header in the stream
    QByteArrayView body;
};

// Walks the records of a stream from a given offset. A record longer than the format allows
// or running past the end of the stream is an error: a reader that went on would take the
// bytes after it for records and could lose cells without a word.
class RecordCursor {
public:
    RecordCursor(const QByteArray& stream, qsizetype offset) : stream_(stream), next_(offset) {}

    bool atEnd() const { return next_ + 4 > stream_.size(); }

    std::optional<Record> next(QString* error) {
        if (atEnd()) {
            *error = QStringLiteral("the workbook ends without its end record");
            return std::nullopt;
        }
        const char* p = stream_.constData() + next_;
        Record record;
        record.id = le::u16(p);
        record.offset = next_;
        const quint16 size = le::u16(p + 2);
        if (size > biff::kMaxRecordBody) {
            *error = QStringLiteral("a record at byte %1 is longer than the format allows (%2 "
                                    "bytes, at most %3)")
                         .arg(next_)
                         .arg(size)
                         .arg(biff::kMaxRecordBody);
            return std::nullopt;
        }
        if (next_ + 4 + size > stream_.size()) {
            *error = QStringLiteral("a record at byte %1 runs past the end").arg(next_);
            return std::nullopt;
        }
        record.body = QByteArrayView(p + 4, size);
        next_ += 4 + size;
        return record;
    }

    std::optional<Record> peek() const {
        if (atEnd())
            return std::nullopt;
        RecordCursor copy = *this;
        QString ignored;
        return copy.next(&ignored);
    }

private:
    const QByteArray& stream_;
    qsizetype next_;
};

QString cutShort(const Record& record) {
    return QStringLiteral("a record at byte %1 is cut short").arg(record.offset);
}

QString errorText(quint8 code) {
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    default:
        return QStringLiteral("#N/A");
    }
}

QString booleanText(quint8 value) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

double rkValue(quint32 rk) {
    double value;
    if (rk & 0x02) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

struct CellPos {
    int row = 0;
    int col = 0;
};

// A formula cell whose text result comes in the STRING record that follows it. (A plain
// flag rather than std::optional: GCC 12 takes the optional's position for uninitialized.)
struct PendingString {
    bool waiting = false;
    CellPos pos;
};

struct Globals {
    bool biff8 = true;
    quint16 codePage = 1252;
    QStringList sharedStrings;
    std::optional<qsizetype> sheetOffset;
    QString sheetName;
};

class Reader {
public:
    explicit Reader(const QByteArray& stream) : stream_(stream) {}

    std::optional<Sheet> read(QString* error) {
        if (!readGlobals(error))
            return std::nullopt;
        if (!globals_.sheetOffset) {
            *error = QStringLiteral("the workbook has no worksheet");
            return std::nullopt;
        }
        return readSheet(*globals_.sheetOffset, error);
    }

private:
    bool readGlobals(QString* error) {
        RecordCursor cursor(stream_, 0);
        auto bof = cursor.next(error);
        if (!bof)
            return false;
        if (bof->id != biff::Bof || bof->body.size() < 4) {
            *error = (bof->id & 0xFF) == 0x09
                         ? QStringLiteral("the workbook is in an old format (before 1995) "
                                          "that cannot be read; save it as .xls first")
                         : QStringLiteral("the workbook stream does not start with a BOF record");
            return false;
        }
        const quint16 version = le::u16(bof->body.data());
        const quint16 type = le::u16(bof->body.data() + 2);
        if (version != biff::kBiff8 && version != biff::kBiff5) {
            *error = QStringLiteral("the workbook version 0x%1 is not supported")
                         .arg(version, 4, 16, QLatin1Char('0'));
            return false;
        }
        if (type != biff::kGlobals) {
            *error = QStringLiteral("the workbook stream has no workbook globals");
            return false;
        }
        globals_.biff8 = version == biff::kBiff8;
        for (;;) {
            auto record = cursor.next(error);
            if (!record)
                return false;
            switch (record->id) {
            case biff::Eof:
                return true;
            case biff::FilePass:
                *error = QStringLiteral("the workbook is encrypted (protected by a password); "
                                        "save it without a password first");
                return false;
            case biff::CodePage:
                if (record->body.size() >= 2)
                    globals_.codePage = le::u16(record->body.data());
                break;
            case biff::BoundSheet:
                if (!readBoundSheet(*record, error))
                    return false;
                break;
            case biff::Sst:
                if (!readSharedStrings(*record, cursor, error))
                    return false;
                break;
            default:
                break;
            }
        }
    }

    bool readBoundSheet(const Record& record, QString* error) {
        if (record.body.size() < 7) {
            *error = cutShort(record);
            return false;
        }
        const quint8 sheetType = le::u8(record.body.data() + 5);
        if (sheetType != 0 || globals_.sheetOffset)
            return true; // not a worksheet, or not the first one
        BiffStringReader strings(globals_.biff8, globals_.codePage);
        const auto name = strings.shortString(record.body.sliced(6));
        if (!name) {
            *error = cutShort(record);
            return false;
        }
        globals_.sheetOffset = le::u32(record.body.data());
        globals_.sheetName = *name;
        return true;
    }

    bool readSharedStrings(const Record& sst, RecordCursor& cursor, QString* error) {
        if (sst.body.size() < 8) {
            *error = cutShort(sst);
            return false;
        }
        QVector<QByteArrayView> segments{sst.body.sliced(8)};
        while (auto next = cursor.peek()) {
            if (next->id != biff::Continue)
                break;
            segments.append(next->body);
            cursor.next(error);
        }
        const quint32 unique = le::u32(sst.body.data() + 4);
        BiffStringReader strings(true, globals_.codePage);
        if (!strings.sharedStrings(segments, unique, &globals_.sharedStrings)) {
            *error = QStringLiteral("the shared strings at byte %1 are cut short").arg(sst.offset);
            return false;
        }
        return true;
    }

    std::optional<Sheet> readSheet(qsizetype offset, QString* error) {
        if (offset < 0 || offset >= stream_.size()) {
            *error = QStringLiteral("the first worksheet lies outside the workbook stream");
            return std::nullopt;
        }
        RecordCursor cursor(stream_, offset);
        auto bof = cursor.next(error);
        if (!bof)
            return std::nullopt;
        if (bof->id != biff::Bof || bof->body.size() < 4 ||
            le::u16(bof->body.data() + 2) != biff::kWorksheet) {
            *error = QStringLiteral("the first worksheet does not start where the workbook says");
            return std::nullopt;
        }
        Sheet sheet;
        sheet.name = globals_.sheetName;
        int depth = 1; // embedded charts bring their own BOF ... EOF
        PendingString pendingString;
        while (depth > 0) {
            auto record = cursor.next(error);
            if (!record)
                return std::nullopt;
            const QByteArrayView body = record->body;
            if (record->id == biff::Bof) {
                ++depth;
                continue;
            }
            if (record->id == biff::Eof) {
                --depth;
                continue;
            }
            if (depth > 1)
                continue;
            if (record->id == biff::String) {
                if (pendingString.waiting) {
                    const auto text = strings().longString(body);
                    if (!text) {
                        *error = cutShort(*record);
                        return std::nullopt;
                    }
                    setCell(sheet, pendingString.pos, *text);
                    pendingString.waiting = false;
                }
                continue;
            }
            if (!readCell(*record, sheet, &pendingString, error))
                return std::nullopt;
        }
        return sheet;
    }

    // Cell records share the prefix row u16, column u16, format u16.
    bool readCell(const Record& record, Sheet& sheet, PendingString* pendingString,
                  QString* error) {
        const QByteArrayView body = record.body;
        auto need = [&](qsizetype size) {
            if (body.size() >= size)
                return true;
            *error = cutShort(record);
            return false;
        };
        auto cellKey = [&](qsizetype at) {
            return CellPos{le::u16(body.data() + at), le::u16(body.data() + at + 2)};
        };
        switch (record.id) {
        case biff::Number:
            if (!need(14))
                return false;
            setCell(sheet, cellKey(0), celltext::plainDecimal(le::f64(body.data() + 6)));
            return true;
        case biff::Rk:
            if (!need(10))
                return false;
            setCell(sheet, cellKey(0), celltext::plainDecimal(rkValue(le::u32(body.data() + 6))));
            return true;
        case biff::MulRk: {
            if (!need(6))
                return false;
            const int row = le::u16(body.data());
            const int first = le::u16(body.data() + 2);
            const qsizetype count = (body.size() - 6) / 6;
            for (qsizetype i = 0; i < count; ++i) {
                const quint32 rk = le::u32(body.data() + 4 + 6 * i + 2);
                setCell(sheet, CellPos{row, first + int(i)}, celltext::plainDecimal(rkValue(rk)));
            }
            return true;
        }
        case biff::LabelSst: {
            if (!need(10))
                return false;
            const quint32 index = le::u32(body.data() + 6);
            if (index >= quint32(globals_.sharedStrings.size())) {
                *error = QStringLiteral("a cell at byte %1 refers to shared string %2 of %3")
                             .arg(record.offset)
                             .arg(index)
                             .arg(globals_.sharedStrings.size());
                return false;
            }
            setCell(sheet, cellKey(0), globals_.sharedStrings[index]);
            return true;
        }
        case biff::Label:
        case biff::RString: {
            if (!need(8))
                return false;
            const auto text = strings().longString(body.sliced(6));
            if (!text) {
                *error = cutShort(record);
                return false;
            }
            setCell(sheet, cellKey(0), *text);
            return true;
        }
        case biff::Formula: {
            if (!need(14))
                return false;
            const char* result = body.data() + 6;
            if (le::u16(result + 6) != 0xFFFF) {
                setCell(sheet, cellKey(0), celltext::plainDecimal(le::f64(result)));
                return true;
            }
            switch (le::u8(result)) {
            case 0:
                *pendingString = PendingString{true, cellKey(0)};
                return true;
            case 1:
                setCell(sheet, cellKey(0), booleanText(le::u8(result + 2)));
                return true;
            case 2:
                setCell(sheet, cellKey(0), errorText(le::u8(result + 2)));
                return true;
            default:
                return true; // an empty text
            }
        }
        case biff::BoolErr:
            if (!need(8))
                return false;
            setCell(sheet, cellKey(0),
                    le::u8(body.data() + 7) ? errorText(le::u8(body.data() + 6))
                                            : booleanText(le::u8(body.data() + 6)));
            return true;
        default:
            return true; // BLANK, MULBLANK, formats, rows and everything else carry no text
        }
    }

    // Columns past 255 do not exist in these formats; such a cell is damage and is dropped.
    static void setCell(Sheet& sheet, CellPos pos, const QString& text) {
        if (pos.col <= 0xFF)
            sheet.setText(pos.row, pos.col, text);
    }

    BiffStringReader strings() const { return BiffStringReader(globals_.biff8, globals_.codePage); }

    const QByteArray& stream_;
    Globals globals_;
};

} // namespace

std::optional<Sheet> readBiffStream(const QByteArray& stream, QString* error) {
    return Reader(stream).read(error);
}
