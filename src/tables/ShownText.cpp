#include "tables/ShownText.h"

namespace {

bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

} // namespace

QString shownText(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!isControl(c)) {
            shown += ch;
            continue;
        }
        switch (c) {
        case u'\r':
            shown += QLatin1String("\\r");
            break;
        case u'\n':
            shown += QLatin1String("\\n");
            break;
        case u'\t':
            shown += QLatin1String("\\t");
            break;
        default:
            shown += QLatin1String("\\x") +
                     QStringLiteral("%1").arg(int(c), 2, 16, QLatin1Char('0')).toUpper();
        }
    }
    return shown;
}
