#include "columnmap/ColumnMap.h"

#include "columnmap/ScaledNumber.h"
#include "files/FileBytes.h"
#include "tables/Records.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// A map is a page of text; anything larger is the wrong file.
constexpr ReadLimit kColumnMapLimit{1024 * 1024, "a column map"};

// A .xls sheet has 256 columns; the other forms are read into the same sheet.
constexpr int kMaxColumn = 256;
constexpr int kMaxSkipRows = 1000000;

const QString kComment = QStringLiteral("comment"); // a note, wherever a setting may stand

ColumnMapRead failure(const QString& error) {
    ColumnMapRead read;
    read.error = error;
    return read;
}

std::optional<qint64> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || std::abs(number) > 1e15)
        return std::nullopt;
    return qint64(number);
}

const TableKind* kindNamed(const QString& name) {
    if (name.compare(QLatin1String("plu"), Qt::CaseInsensitive) == 0)
        return &pluKind();
    if (name.compare(QLatin1String("ingred"), Qt::CaseInsensitive) == 0)
        return &ingredKind();
    return nullptr;
}

int fieldIndex(const TableKind& kind, const QString& name) {
    for (int f = 0; f < kind.fields.size(); ++f)
        if (kind.fields[f].name.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return -1;
}

QString fieldNames(const TableKind& kind) {
    QStringList names;
    for (const FieldSpec& field : kind.fields)
        names.append(field.name);
    return names.join(QStringLiteral(", "));
}

// A column as the map gives it: a header text or a position.
std::optional<ColumnRef> columnOf(const QJsonValue& value) {
    if (value.isString() && !value.toString().trimmed().isEmpty())
        return ColumnRef{value.toString().trimmed(), 0};
    const std::optional<qint64> position = wholeNumber(value);
    if (position && *position >= 1 && *position <= kMaxColumn)
        return ColumnRef{QString(), int(*position)};
    return std::nullopt;
}

// One entry of "fields": a column alone ("VK-Preis", 3) or an object with "column",
// "factor" and "default". Returns the problem, or an empty text.
QString readField(const FieldSpec& field, const QJsonValue& value, FieldMapping& mapping) {
    const bool number = field.kind != FieldKind::Text;
    QJsonObject entry;
    if (value.isObject())
        entry = value.toObject();
    else
        entry.insert(QStringLiteral("column"), value);
    for (auto it = entry.begin(); it != entry.end(); ++it) {
        const QString key = it.key();
        if (key == QLatin1String("column")) {
            mapping.column = columnOf(*it);
            if (!mapping.column)
                return QStringLiteral("the column must be a header text or a position from 1 "
                                      "to %1")
                    .arg(kMaxColumn);
        } else if (key == QLatin1String("factor")) {
            if (!number)
                return QStringLiteral("it is a text, which takes no factor");
            const std::optional<qint64> factor = wholeNumber(*it);
            if (!factor || !isDecimalFactor(*factor))
                return QStringLiteral("the factor must be 1, 10, 100, 1000, 10000, 100000 or "
                                      "1000000");
            mapping.factor = qint32(*factor);
        } else if (key == QLatin1String("default")) {
            if (number) {
                const std::optional<qint64> fallback = wholeNumber(*it);
                if (!fallback || !convertNumber(decimalText(*fallback), widthOf(field.kind)).ok)
                    return QStringLiteral("the default must be a whole number the field holds "
                                          "(no factor applies to it)");
                mapping.defaultText = decimalText(*fallback);
            } else if (it->isString()) {
                mapping.defaultText = it->toString();
            } else {
                return QStringLiteral("the default must be a text in double quotes");
            }
        } else if (key != kComment) {
            return QStringLiteral("\"%1\" is no setting of a field (column, factor, default)")
                .arg(key);
        }
    }
    return QString();
}

QString readFields(const QJsonValue& value, ColumnMap& map) {
    if (!value.isObject())
        return QStringLiteral("\"fields\" must be an object naming each field's column");
    const TableKind& kind = *map.kind;
    map.fields.resize(kind.fields.size());
    const QJsonObject fields = value.toObject();
    QVector<bool> given(kind.fields.size());
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if (it.key() == kComment)
            continue;
        const int f = fieldIndex(kind, it.key());
        if (f < 0)
            return QStringLiteral("\"%1\" is no field of the %2 table; its fields are %3")
                .arg(it.key(), kind.name, fieldNames(kind));
        if (given[f]) // "Tare" and "tare": which one was meant?
            return QStringLiteral("%1 is given twice").arg(kind.fields[f].name);
        given[f] = true;
        const QString problem = readField(kind.fields[f], *it, map.fields[f]);
        if (!problem.isEmpty())
            return kind.fields[f].name + QStringLiteral(": ") + problem;
    }
    for (int f = 0; f < kind.fields.size(); ++f) {
        const FieldMapping& mapping = map.fields[f];
        const QString& name = kind.fields[f].name;
        // The first field numbers the rows: one default would give every row one number.
        if (f == 0 && (!mapping.column || mapping.defaultText))
            return QStringLiteral("%1 needs a column and takes no default").arg(name);
        if (!mapping.column && !mapping.defaultText)
            return QStringLiteral("%1 needs a column or a default").arg(name);
        if (mapping.column && !mapping.column->header.isEmpty() && !map.headerRow)
            return QStringLiteral("%1 names its column by header text, but \"headerRow\" is "
                                  "false")
                .arg(name);
    }
    return QString();
}

QString readSetting(const QString& key, const QJsonValue& value, ColumnMap& map) {
    if (key == QLatin1String("encoding")) {
        const QString name = value.toString().toLower();
        if (name == QLatin1String("utf-8"))
            map.encoding = MapEncoding::Utf8;
        else if (name == QLatin1String("windows-1252"))
            map.encoding = MapEncoding::Windows1252;
        else
            return QStringLiteral("\"encoding\" must be \"utf-8\" or \"windows-1252\"");
    } else if (key == QLatin1String("decimalSeparator")) {
        const QString separator = value.toString();
        if (separator != QLatin1String(".") && separator != QLatin1String(","))
            return QStringLiteral("\"decimalSeparator\" must be \".\" or \",\"");
        map.decimalSeparator = separator[0];
    } else if (key == QLatin1String("skipRows")) {
        const std::optional<qint64> rows = wholeNumber(value);
        if (!rows || *rows < 0 || *rows > kMaxSkipRows)
            return QStringLiteral("\"skipRows\" must be a whole number from 0 to %1")
                .arg(kMaxSkipRows);
        map.skipRows = int(*rows);
    } else if (key == QLatin1String("headerRow")) {
        if (!value.isBool())
            return QStringLiteral("\"headerRow\" must be true or false");
        map.headerRow = value.toBool();
    } else if (key != QLatin1String("table") && key != QLatin1String("fields") && key != kComment) {
        return QStringLiteral("\"%1\" is no setting of a column map (table, encoding, "
                              "decimalSeparator, skipRows, headerRow, fields)")
            .arg(key);
    }
    return QString();
}

} // namespace

QString ColumnRef::described() const {
    return header.isEmpty() ? QString::number(position) : QLatin1Char('"') + header + u'"';
}

ColumnMapRead parseColumnMap(const QByteArray& json) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return failure(QStringLiteral("line %1: %2")
                           .arg(json.left(parseError.offset).count('\n') + 1)
                           .arg(parseError.errorString()));
    if (!document.isObject())
        return failure(QStringLiteral("a column map is one JSON object { ... }"));
    const QJsonObject root = document.object();
    ColumnMap map;
    map.kind = kindNamed(root.value(QStringLiteral("table")).toString());
    if (!map.kind)
        return failure(QStringLiteral("\"table\" must be \"plu\" or \"ingred\""));
    for (auto it = root.begin(); it != root.end(); ++it) {
        const QString problem = readSetting(it.key(), *it, map);
        if (!problem.isEmpty())
            return failure(problem);
    }
    // The fields last: whether a header text may name a column depends on "headerRow".
    const QString problem = readFields(root.value(QStringLiteral("fields")), map);
    if (!problem.isEmpty())
        return failure(problem);
    ColumnMapRead read;
    read.map = std::move(map);
    return read;
}

ColumnMapRead readColumnMap(const QString& path) {
    const FileBytes file = readFileBytes(path, kColumnMapLimit);
    if (!file.error.isEmpty())
        return failure(file.error);
    return parseColumnMap(file.bytes);
}
