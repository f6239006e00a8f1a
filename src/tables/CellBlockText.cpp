#include "tables/CellBlockText.h"

namespace {

constexpr QChar kTab = QLatin1Char('\t');
constexpr QChar kQuote = QLatin1Char('"');

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

QString quotedIfNeeded(const QString& cell) {
    const bool needsQuotes = cell.contains(kTab) || cell.contains(QLatin1Char('\n')) ||
                             cell.contains(QLatin1Char('\r')) || cell.contains(kQuote);
    if (!needsQuotes)
        return cell;
    QString quoted = cell;
    quoted.replace(kQuote, QStringLiteral("\"\""));
    return kQuote + quoted + kQuote;
}

// Reads one cell starting at `pos` and leaves `pos` on the tab or line break after it (or at
// the end of the text).
QString readCell(const QString& text, qsizetype& pos) {
    const qsizetype start = pos;
    if (pos < text.size() && text.at(pos) == kQuote) {
        QString cell;
        qsizetype i = pos + 1;
        while (i < text.size()) {
            if (text.at(i) != kQuote) {
                cell += text.at(i++);
                continue;
            }
            if (i + 1 < text.size() && text.at(i + 1) == kQuote) { // a doubled quote
                cell += kQuote;
                i += 2;
                continue;
            }
            // The closing quote; anything up to the next separator belongs to the cell.
            ++i;
            while (i < text.size() && text.at(i) != kTab && !isLineBreak(text.at(i)))
                cell += text.at(i++);
            pos = i;
            return cell;
        }
        pos = start; // never closed: read the cell again as plain text
    }
    while (pos < text.size() && text.at(pos) != kTab && !isLineBreak(text.at(pos)))
        ++pos;
    return text.mid(start, pos - start);
}

} // namespace

QString formatCellBlock(const CellBlock& block) {
    QString text;
    for (const QStringList& row : block) {
        QStringList cells;
        for (const QString& cell : row)
            cells.append(quotedIfNeeded(cell));
        text += cells.join(kTab) + QStringLiteral("\r\n");
    }
    return text;
}

CellBlock parseCellBlock(const QString& text) {
    CellBlock block;
    QStringList row;
    qsizetype pos = 0;
    while (pos < text.size()) {
        row.append(readCell(text, pos));
        if (pos >= text.size())
            break;
        if (text.at(pos) == kTab) {
            ++pos;
            if (pos == text.size())
                row.append(QString()); // a tab at the very end still opens a cell
            continue;
        }
        // A line break: CR LF counts once.
        if (text.at(pos) == QLatin1Char('\r') && pos + 1 < text.size() &&
            text.at(pos + 1) == QLatin1Char('\n'))
            ++pos;
        ++pos;
        block.append(row);
        row.clear();
    }
    if (!row.isEmpty())
        block.append(row);

    qsizetype width = 0;
    for (const QStringList& r : std::as_const(block))
        width = qMax(width, r.size());
    for (QStringList& r : block)
        while (r.size() < width)
            r.append(QString());
    return block;
}
