#include "journal/SentRowsFormat.h"

#include "journal/FieldsJson.h"
#include "journal/JournalTime.h"
#include "tables/Records.h"

namespace journal {

namespace {

// The fields of every kind in the kinds' order, each name once.
const QStringList& fieldColumns() {
    static const QStringList columns = [] {
        QStringList names;
        for (const TableKind* kind : {&pluKind(), &ingredKind()})
            for (const FieldSpec& field : kind->fields)
                if (!names.contains(field.name))
                    names.append(field.name);
        return names;
    }();
    return columns;
}

QString fieldText(const FieldTexts& fields, const QString& name) {
    for (const auto& [field, text] : fields)
        if (field == name)
            return text;
    return QString();
}

QString resultText(const RowEntry& row) {
    return row.accepted ? QStringLiteral("accepted") : QStringLiteral("not accepted");
}

QString outcomeText(const RunRecord& run) {
    return run.outcome.isEmpty() ? QStringLiteral("unfinished") : run.outcome;
}

QString programText(const WriterIdentity& writer) {
    return writer.version.isEmpty() ? writer.program : writer.program + u' ' + writer.version;
}

} // namespace

QStringList sentRowHeaders() {
    return QStringList{"Time (UTC)", "Scale", "Port", "Table", "No", "Result", "Retries"} +
           fieldColumns() +
           QStringList{"Run",    "Selection", "Source", "Source SHA-256", "Outcome",
                       "Reason", "Operator",  "Host",   "Program"};
}

QStringList sentRowCells(const RowRecord& row) {
    const RunRecord& run = row.run;
    QStringList cells{utcText(row.at),
                      run.start.scaleName,
                      run.start.port,
                      run.start.kind,
                      QString::number(row.row.number),
                      resultText(row.row),
                      QString::number(row.row.retries)};
    for (const QString& name : fieldColumns())
        cells.append(fieldText(row.row.fields, name));
    return cells + QStringList{QString::number(run.id), run.start.selection,
                               run.start.sourcePath,    QString::fromLatin1(run.start.sourceSha256),
                               outcomeText(run),        run.reason,
                               run.writer.osUser,       run.writer.host,
                               programText(run.writer)};
}

QString sentRowLine(const RowRecord& row) {
    const TableKind* kind = tableKindNamed(row.run.start.kind);
    QStringList fields;
    // From the second field on: the first is the number, which the line starts with.
    for (int f = 1; kind && f < row.row.fields.size(); ++f) {
        const auto& [name, text] = row.row.fields[f];
        const bool isText = kind->fields.value(f).kind == FieldKind::Text;
        fields.append(name + u' ' + (isText ? u'"' + text + u'"' : text));
    }
    QString line = QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(utcText(row.at), row.run.start.scaleName, row.run.start.kind)
                       .arg(row.row.number)
                       .arg(resultText(row.row));
    if (row.row.retries > 0)
        line += QStringLiteral(", %1 retries").arg(row.row.retries);
    if (!fields.isEmpty())
        line += QStringLiteral(": ") + fields.join(QStringLiteral(", "));
    return line + QStringLiteral(" (run %1 by %2 on %3: %4)")
                      .arg(row.run.id)
                      .arg(row.run.writer.osUser, row.run.writer.host, outcomeText(row.run));
}

QJsonObject sentRowJson(const RowRecord& row) {
    const RunRecord& run = row.run;
    QJsonObject fields;
    for (const auto& [name, text] : row.row.fields)
        fields.insert(name, text);
    const QJsonObject runObject{
        {"id", run.id},
        {"started", utcText(run.started)},
        {"ended", run.ended.isValid() ? QJsonValue(utcText(run.ended)) : QJsonValue()},
        {"outcome", run.outcome.isEmpty() ? QJsonValue() : QJsonValue(run.outcome)},
        {"reason", run.reason},
        {"selection", run.start.selection},
        {"source", run.start.sourcePath},
        {"sourceSha256", QString::fromLatin1(run.start.sourceSha256)},
        {"operator", run.writer.osUser},
        {"host", run.writer.host},
        {"program", run.writer.program},
        {"version", run.writer.version},
    };
    return QJsonObject{
        {"entry", row.entry},
        {"time", utcText(row.at)},
        {"scale", run.start.scaleName},
        {"port", run.start.port},
        {"table", run.start.kind},
        {"number", row.row.number},
        {"accepted", row.row.accepted},
        {"retries", row.row.retries},
        {"record", QString::fromLatin1(row.row.record.toHex())},
        {"fields", fields},
        {"run", runObject},
    };
}

} // namespace journal
