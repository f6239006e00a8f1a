#include "spreadsheet/XlsxReader.h"

#include "spreadsheet/Unzip.h"
#include "spreadsheet/XlsxXml.h"

#include <QXmlStreamReader>

namespace {

struct Relationship {
    QString type;   // the last segment of its type URI: "worksheet", "sharedStrings", ...
    QString target; // the part it points to, as a name inside the archive
};

WorkbookRead failure(const QString& error) {
    WorkbookRead read;
    read.error = error;
    return read;
}

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"
QString relationshipsOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

// A relationship target is relative to the folder of its source part unless it starts
// with "/"; ".." climbs a folder.
QString resolve(const QString& sourcePart, const QString& target) {
    QStringList path;
    if (!target.startsWith(u'/'))
        path = sourcePart.split(u'/').mid(0, sourcePart.count(u'/'));
    for (const QString& segment : target.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u"..") {
            if (!path.isEmpty())
                path.removeLast();
        } else if (segment != u".") {
            path.append(segment);
        }
    }
    return path.join(u'/');
}

// The relationships of `sourcePart` by their Id; a part without any has none.
std::optional<QHash<QString, Relationship>> relationships(Unzip& zip, const QString& sourcePart,
                                                          QString* error) {
    QHash<QString, Relationship> found;
    const QString name = relationshipsOf(sourcePart);
    if (!zip.contains(name))
        return found;
    const auto xml = zip.entry(name, error);
    if (!xml)
        return std::nullopt;
    QXmlStreamReader reader(*xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"Relationship")
            continue;
        const auto attributes = reader.attributes();
        if (attributes.value(QLatin1String("TargetMode")) == u"External")
            continue;
        const QString type = attributes.value(QLatin1String("Type")).toString();
        found.insert(attributes.value(QLatin1String("Id")).toString(),
                     {type.mid(type.lastIndexOf(u'/') + 1),
                      resolve(sourcePart, attributes.value(QLatin1String("Target")).toString())});
    }
    if (reader.hasError()) {
        *error = QStringLiteral("the part %1 of the workbook is damaged (line %2: %3)")
                     .arg(name)
                     .arg(reader.lineNumber())
                     .arg(reader.errorString());
        return std::nullopt;
    }
    return found;
}

struct SheetEntry {
    QString name;
    QString relationshipId;
};

std::optional<QList<SheetEntry>> sheetList(const QByteArray& xml, QString* error) {
    QXmlStreamReader reader(xml);
    QList<SheetEntry> sheets;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"sheet")
            continue;
        SheetEntry entry;
        entry.name = reader.attributes().value(QLatin1String("name")).toString();
        for (const auto& attribute : reader.attributes()) {
            if (attribute.name() == u"id") // r:id, whatever prefix the namespace got
                entry.relationshipId = attribute.value().toString();
        }
        sheets.append(entry);
    }
    if (reader.hasError()) {
        *error = QStringLiteral("the workbook part is damaged (line %1: %2)")
                     .arg(reader.lineNumber())
                     .arg(reader.errorString());
        return std::nullopt;
    }
    return sheets;
}

// The workbook part: where the package's relationships say, or where every writer puts it.
std::optional<QString> workbookPart(Unzip& zip, QString* error) {
    const auto package = relationships(zip, QString(), error);
    if (!package)
        return std::nullopt;
    for (const Relationship& relationship : *package) {
        if (relationship.type == u"officeDocument")
            return relationship.target;
    }
    return QStringLiteral("xl/workbook.xml");
}

QString notAnXlsx(const Unzip& zip) {
    if (zip.contains(QStringLiteral("mimetype")) && zip.contains(QStringLiteral("content.xml")))
        return QStringLiteral("the file is an OpenDocument spreadsheet (.ods), not an .xlsx "
                              "workbook; save it as .xlsx first");
    return QStringLiteral("the file is a zip archive but not an .xlsx workbook");
}

} // namespace

WorkbookRead readXlsx(const QByteArray& file) {
    Unzip zip(file);
    if (!zip.isValid())
        return failure(zip.error());
    QString error;
    const auto workbook = workbookPart(zip, &error);
    if (!workbook)
        return failure(error);
    if (workbook->endsWith(QLatin1String(".bin"), Qt::CaseInsensitive))
        return failure(QStringLiteral("the workbook is a binary workbook (.xlsb), which cannot "
                                      "be read; save it as .xlsx first"));
    if (!zip.contains(*workbook))
        return failure(notAnXlsx(zip));
    const auto workbookXml = zip.entry(*workbook, &error);
    if (!workbookXml)
        return failure(error);
    const auto sheets = sheetList(*workbookXml, &error);
    const auto parts = sheets ? relationships(zip, *workbook, &error) : std::nullopt;
    if (!parts)
        return failure(error);

    // The first sheet in the workbook's order that is a worksheet (not a chart sheet).
    const SheetEntry* first = nullptr;
    QString sheetPart;
    for (const SheetEntry& entry : *sheets) {
        const Relationship relationship = parts->value(entry.relationshipId);
        if (relationship.type == u"worksheet") {
            first = &entry;
            sheetPart = relationship.target;
            break;
        }
    }
    if (!first)
        return failure(QStringLiteral("the workbook has no worksheet"));

    QStringList shared;
    for (const Relationship& relationship : *parts) {
        if (relationship.type != u"sharedStrings" || !zip.contains(relationship.target))
            continue;
        const auto xml = zip.entry(relationship.target, &error);
        const auto strings = xml ? xlsxxml::sharedStrings(*xml, &error) : std::nullopt;
        if (!strings)
            return failure(error);
        shared = *strings;
        break;
    }
    const auto sheetXml = zip.entry(sheetPart, &error);
    if (!sheetXml)
        return failure(error);
    Sheet sheet;
    sheet.name = first->name;
    if (!xlsxxml::worksheet(*sheetXml, shared, sheet, &error))
        return failure(error);
    WorkbookRead read;
    read.sheet = std::move(sheet);
    return read;
}
