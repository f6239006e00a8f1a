#include "journal/FieldsJson.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace journal {

const TableKind* tableKindNamed(const QString& name) {
    for (const TableKind* kind : {&pluKind(), &ingredKind()})
        if (kind->name == name)
            return kind;
    return nullptr;
}

QString fieldsProblem(const TableKind& kind, const FieldTexts& fields) {
    QStringList expected;
    for (const FieldSpec& field : kind.fields)
        expected.append(field.name);
    QStringList given;
    for (const auto& [name, text] : fields)
        given.append(name);
    if (given == expected)
        return QString();
    return QStringLiteral("a %1 record has the fields %2, not %3")
        .arg(kind.name, expected.join(u','),
             given.isEmpty() ? QStringLiteral("none") : given.join(u','));
}

FieldTexts namedFields(const TableKind& kind, const QStringList& texts) {
    FieldTexts fields;
    for (qsizetype f = 0; f < texts.size(); ++f)
        fields.append({kind.fields.value(f).name, texts[f]}); // one too many goes nameless
    return fields;
}

QString fieldsJson(const FieldTexts& fields) {
    QJsonObject object;
    for (const auto& [name, text] : fields)
        object.insert(name, text);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

FieldTexts fieldsFromJson(const QString& json, const TableKind& kind) {
    const QJsonObject object = QJsonDocument::fromJson(json.toUtf8()).object();
    FieldTexts fields;
    for (const FieldSpec& field : kind.fields) {
        const QJsonValue value = object.value(field.name);
        if (!value.isString())
            return {};
        fields.append({field.name, value.toString()});
    }
    return fields;
}

std::optional<qint32> unitPriceOf(const FieldTexts& fields) {
    for (const auto& [name, text] : fields) {
        if (name != QLatin1String("UnitPrice"))
            continue;
        bool ok = false;
        const qint32 price = text.toInt(&ok);
        return ok ? std::optional<qint32>(price) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace journal
