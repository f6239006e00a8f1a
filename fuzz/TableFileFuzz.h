#pragma once

// Shared body of the table file fuzz targets: whatever the reader accepts is written back and
// read again, and must come back unchanged.
#include "files/TableFileFormat.h"

#include <cstdint>
#include <cstdlib>

template <typename Record> int fuzzTableFile(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ParsedTableFile<Record> read = parseTableFile<Record>(bytes);
    if (!read.ok()) {
        if (read.error.isEmpty() || !read.records.empty())
            std::abort();
        return 0;
    }
    if (read.records.size() > std::size_t(Record::kind().dataRows))
        std::abort();
    // A carriage return inside a text is read but cannot be written; the writer says so.
    const FormattedTableFile written = formatTableFile<Record>(read.records);
    if (!written.ok())
        return 0;
    const ParsedTableFile<Record> again = parseTableFile<Record>(written.bytes);
    if (!again.ok() || again.records != read.records)
        std::abort();
    return 0;
}
