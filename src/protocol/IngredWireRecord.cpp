#include "protocol/IngredWireRecord.h"

#include "tables/CodePage.h"

namespace ingred_wire {

QString line(const QString& text) {
    if (text.size() >= kLineWidth)
        return text.left(kLineWidth);
    return text + QString(kLineWidth - text.size(), QLatin1Char(' '));
}

Encoded encode(const IngredRecord& record) {
    Encoded result;
    const QString messages[] = {record.Message1, record.Message2, record.Message3, record.Message4};
    QByteArray bytes;
    bytes.reserve(kSize);
    for (int i = 0; i < 4; ++i) {
        const QString text = line(messages[i]);
        qsizetype bad = -1;
        const auto encoded = codepage::encode(text, &bad);
        if (!encoded || encoded->size() != kLineWidth) {
            const QString character = bad >= 0 ? text.mid(bad, 1) : text;
            result.error = QStringLiteral("Message%1 holds \"%2\", a character the scale's "
                                          "code page lacks")
                               .arg(i + 1)
                               .arg(character);
            return result;
        }
        bytes += *encoded;
    }
    bytes += QByteArray(kSize - bytes.size(), ' '); // lines 5 to 8: the unused slots
    result.bytes = bytes;
    return result;
}

} // namespace ingred_wire
