#pragma once

#include <QStringList>

// The three kinds of entry as their tables hold them: the facts an entry records (hashed, in
// this order, after its type and number) and the copies of its run's facts a row keeps for
// the questions' indexes (not hashed; verify compares them with the run's).
namespace journal {

struct EntryLayout {
    const char* type; // "run", "row", "end": the first value hashed
    const char* table;
    QStringList facts;
    QStringList copies;
};

inline const EntryLayout& runEntry() {
    static const EntryLayout layout{"run",
                                    "runs",
                                    {"started", "operation", "kind", "scale", "port", "selection",
                                     "source_path", "source_sha256", "os_user", "host", "program",
                                     "version"},
                                    {}};
    return layout;
}

inline const EntryLayout& rowEntry() {
    static const EntryLayout layout{
        "row",
        "rows",
        {"run", "at", "number", "record", "fields", "accepted", "retries"},
        {"operation", "kind", "scale"}};
    return layout;
}

inline const EntryLayout& endEntry() {
    static const EntryLayout layout{"end", "run_ends", {"run", "ended", "outcome", "reason"}, {}};
    return layout;
}

} // namespace journal
