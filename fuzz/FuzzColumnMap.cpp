// Feeds arbitrary bytes to the column map's reader, and as an export through fixed maps of
// both tables: header texts with a decimal comma and factors in Windows-1252, and positions
// without a header row in UTF-8. Whatever is imported holds no more rows than the table.
#include "columnmap/MappedImport.h"
#include "columnmap/ScaledNumber.h"

#include <cstdint>
#include <cstdlib>

namespace {

const char* const kMaps[] = {
    R"({"table": "plu", "encoding": "windows-1252", "decimalSeparator": ",", "skipRows": 1,
        "fields": {"PluNo": "Art.-Nr.", "ItemCode": {"column": "EAN", "default": 0},
                   "ItemName1": "Bezeichnung", "ItemName2": {"default": ""},
                   "UnitPrice": {"column": "VK-Preis", "factor": 100},
                   "ValidDate": {"default": 0},
                   "Tare": {"column": "Tara kg", "factor": 1000, "default": 0},
                   "GCode": {"default": 0}, "MessageNo": {"default": 0}}})",
    R"({"table": "ingred", "encoding": "utf-8", "headerRow": false,
        "fields": {"MessageNo": {"column": 1, "factor": 10}, "Message1": 2, "Message2": 3,
                   "Message3": {"default": ""}, "Message4": {"column": 9, "default": "-"}}})",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    parseColumnMap(bytes); // read or refused with a text, never more

    const workbook::StatusSink ignore = [](const QString&) {};
    for (const char* json : kMaps) {
        const ColumnMapRead map = parseColumnMap(json);
        if (!map.map)
            std::abort(); // the fixed maps are valid
        const auto imported =
            workbook::importMapped(bytes, QStringLiteral("fuzz.csv"), *map.map, ignore);
        if (imported && imported->count > map.map->kind->dataRows)
            std::abort();
    }
    convertScaledNumber(QString::fromUtf8(bytes.left(64)), {QStringLiteral(",."), 1000},
                        IntWidth::Int16);
    return 0;
}
