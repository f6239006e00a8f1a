#include "files/FileRules.h"

#include <QStringList>

const FileRules& fileRulesFor(const TableKind& kind) {
    // An empty "Message No" of a PLU row is saved as 0 and shows as "0" afterwards; an
    // ingredient row has no such column (its only number is the one that ends the table).
    static const FileRules plu{QStringLiteral("plu"), QStringLiteral("PLU Count is "), 9};
    static const FileRules ingred{QStringLiteral("ingred"), QStringLiteral("INGRED Count is "), 0};
    return &kind == &pluKind() ? plu : ingred;
}

QString columnTitle(const TableKind& kind, int column) {
    const QStringList segments = kind.formatString.split(QLatin1Char('|'));
    if (column < 0 || column >= segments.size())
        return QString();
    return segments[column].mid(1).trimmed(); // the first character is the alignment
}
