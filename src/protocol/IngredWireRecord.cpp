#include "protocol/IngredWireRecord.h"

#include "tables/CodePage.h"

#include <iterator>

namespace ingred_wire {

QString line(const QString& text, const scale::ScaleModel& model) {
    const int width = model.ingredRecord.lineWidth;
    if (text.size() >= width)
        return text.left(width);
    return text + QString(width - text.size(), QLatin1Char(' '));
}

EncodedRecord encode(const IngredRecord& record, const scale::ScaleModel& model) {
    EncodedRecord result;
    const QString messages[] = {record.Message1, record.Message2, record.Message3, record.Message4};
    const int lines = qMin(model.ingredRecord.messageLines, int(std::size(messages)));
    QByteArray bytes;
    bytes.reserve(model.ingredRecordSize);
    for (int i = 0; i < lines; ++i) {
        const QString text = line(messages[i], model);
        qsizetype bad = -1;
        const auto encoded = codepage::encode(text, &bad);
        if (!encoded || encoded->size() != model.ingredRecord.lineWidth) {
            const QString character = bad >= 0 ? text.mid(bad, 1) : text;
            result.error = QStringLiteral("Message%1 holds \"%2\", a character the scale's "
                                          "code page lacks")
                               .arg(i + 1)
                               .arg(character);
            return result;
        }
        bytes += *encoded;
    }
    // The lines after the messages: unused slots, blank.
    bytes += QByteArray(model.ingredRecordSize - bytes.size(), ' ');
    result.bytes = bytes;
    return result;
}

} // namespace ingred_wire
