#include "TestZip.h"

#include "TestWorkbooks.h"

#include <zlib.h>

namespace testzip {

namespace {

using testwb::u16;
using testwb::u32;

QByteArray rawDeflate(const QByteArray& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

} // namespace

QByteArray archive(const QList<Entry>& entries) {
    QByteArray out;
    QByteArray directory;
    for (const Entry& entry : entries) {
        const QByteArray name = entry.name.toUtf8();
        const QByteArray packed = entry.deflate ? rawDeflate(entry.data) : entry.data;
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(entry.data.constData()),
                                          uInt(entry.data.size())));
        const quint32 size = entry.declaredSize.value_or(quint32(entry.data.size()));
        const QByteArray common = u16(entry.flags) + u16(entry.deflate ? 8 : 0) + u16(0) +
                                  u16(0x21) + u32(crc) + u32(quint32(packed.size())) + u32(size) +
                                  u16(quint16(name.size())) + u16(0);
        directory += u32(0x02014b50) + u16(20) + u16(20) + common + u16(0) + u16(0) + u16(0) +
                     u32(0) + u32(quint32(out.size())) + name;
        out += u32(0x04034b50) + u16(20) + common + name + packed;
    }
    const quint32 directoryOffset = quint32(out.size());
    out += directory;
    out += u32(0x06054b50) + u16(0) + u16(0) + u16(quint16(entries.size())) +
           u16(quint16(entries.size())) + u32(quint32(directory.size())) + u32(directoryOffset) +
           u16(0);
    return out;
}

QList<Entry> xlsxParts(const QList<SheetPart>& sheets, const QByteArray& sharedStrings) {
    QByteArray list;
    QByteArray relationships;
    QList<Entry> parts;
    for (int i = 0; i < sheets.size(); ++i) {
        const QString id = QStringLiteral("rId%1").arg(i + 1);
        const QString part = QStringLiteral("worksheets/sheet%1.xml").arg(i + 1);
        list += QStringLiteral("<sheet name=\"%1\" sheetId=\"%2\" r:id=\"%3\"/>")
                    .arg(sheets[i].name)
                    .arg(i + 1)
                    .arg(id)
                    .toUtf8();
        relationships += QStringLiteral("<Relationship Id=\"%1\" Type=\"%2/%3\" Target=\"%4\"/>")
                             .arg(id, QLatin1String(kRelationships), sheets[i].type, part)
                             .toUtf8();
        parts.append({QStringLiteral("xl/") + part, sheets[i].xml});
    }
    if (!sharedStrings.isEmpty()) {
        relationships += QByteArray("<Relationship Id=\"rIdS\" Type=\"") + kRelationships +
                         "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts.append({QStringLiteral("xl/sharedStrings.xml"),
                      QByteArray("<sst xmlns=\"") + kMain + "\">" + sharedStrings + "</sst>"});
    }
    parts.prepend({QStringLiteral("xl/_rels/workbook.xml.rels"),
                   QByteArray("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/"
                              "2006/relationships\">") +
                       relationships + "</Relationships>"});
    parts.prepend({QStringLiteral("xl/workbook.xml"),
                   QByteArray("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + kRelationships +
                       "\"><sheets>" + list + "</sheets></workbook>"});
    parts.prepend({QStringLiteral("_rels/.rels"),
                   QByteArray("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/"
                              "2006/relationships\"><Relationship Id=\"rId1\" Type=\"") +
                       kRelationships +
                       "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
    parts.prepend({QStringLiteral("[Content_Types].xml"),
                   "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                   "content-types\"/>"});
    return parts;
}

QByteArray worksheet(const QByteArray& rows) {
    return QByteArray("<worksheet xmlns=\"") + kMain + "\"><sheetData>" + rows +
           "</sheetData></worksheet>";
}

} // namespace testzip
