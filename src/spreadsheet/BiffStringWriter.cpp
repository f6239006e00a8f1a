#include "spreadsheet/BiffStringWriter.h"

#include "spreadsheet/BiffRecords.h"
#include "spreadsheet/LittleEndian.h"

#include <algorithm>

namespace biffstring {

namespace {

bool needsUtf16(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; });
}

void appendChars(QByteArray& out, const QString& text, qsizetype from, qsizetype count, bool wide) {
    for (qsizetype i = from; i < from + count; ++i) {
        if (wide)
            le::put16(out, text[i].unicode());
        else
            le::put8(out, quint8(text[i].unicode()));
    }
}

} // namespace

QByteArray shortString(const QString& text) {
    const QString cut = text.left(255);
    const bool wide = needsUtf16(cut);
    QByteArray out;
    le::put8(out, quint8(cut.size()));
    le::put8(out, wide ? 1 : 0);
    appendChars(out, cut, 0, cut.size(), wide);
    return out;
}

QVector<QByteArray> sharedStringTable(const QStringList& strings, quint32 totalUses) {
    constexpr qsizetype kLimit = biff::kMaxRecordBody;
    QVector<QByteArray> bodies;
    QByteArray body;
    le::put32(body, totalUses);
    le::put32(body, quint32(strings.size()));
    for (const QString& full : strings) {
        const QString text = full.left(0xFFFF);
        const bool wide = needsUtf16(text);
        const quint8 flags = wide ? 1 : 0;
        const qsizetype unit = wide ? 2 : 1;
        // The header (count and flags) stays with the first character.
        if (body.size() + 3 + (text.isEmpty() ? 0 : unit) > kLimit) {
            bodies.append(body);
            body.clear();
        }
        le::put16(body, quint16(text.size()));
        le::put8(body, flags);
        qsizetype done = 0;
        while (done < text.size()) {
            qsizetype room = (kLimit - body.size()) / unit;
            if (room == 0) {
                bodies.append(body);
                body.clear();
                le::put8(body, flags); // the rest of the characters restart with their flags
                room = (kLimit - body.size()) / unit;
            }
            const qsizetype take = qMin(room, text.size() - done);
            appendChars(body, text, done, take, wide);
            done += take;
        }
    }
    bodies.append(body);
    return bodies;
}

} // namespace biffstring
