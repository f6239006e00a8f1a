#pragma once

#include <QList>
#include <QString>

#include <optional>

// A misbehaviour the simulated scale shows on demand, written as text:
//
//   KIND[@NUMBER | #EXCHANGE][:COUNT]      several separated by commas
//
// KIND      what goes wrong (see faultSyntaxHelp() for the list)
// @NUMBER   only in exchanges for this PLU number, message number or requested number
// #EXCHANGE only from the exchange begun by the EXCHANGE-th sync on (counting from 1)
// COUNT     how many times it happens (default 1); "*" for every time
//
// Examples: "sync:2", "echo@5", "silence@3:6", "ack#2:3", "short", "endbyte@7:*".
enum class FaultKind {
    Sync,    // answers the sync with 0x78 instead of 0x77
    Command, // answers a download or upload command with 0x15 instead of 0x01
    Echo,    // echoes the number plus one, then takes the record without storing or answering
    Ack,     // answers a download record with 0x15 instead of 0x10 and does not store it
    Silence, // no answer to the sync; with @NUMBER no answer to the number
    EndByte, // upload reply ends with 0x15 instead of 0x10
    Short,   // upload reply or display record one byte short
    Long,    // upload reply or display record one byte too long (a 0x00 added)
    Stray,   // a 0x00 after the sync answer; with @NUMBER after the exchange's last answer
};

struct Fault {
    enum class Target { Any, Number, Exchange };

    FaultKind kind = FaultKind::Sync;
    Target target = Target::Any;
    int at = 0;        // the number or exchange of the target
    int remaining = 1; // -1: every time
    QString text;      // as written, for messages

    // Faults bound to the number act at or after the number step; the others at the sync.
    bool boundToNumber() const { return target == Target::Number; }
};

// Parses one or more comma-separated faults. On error returns nothing and sets `error` to a
// sentence naming the bad part.
std::optional<QList<Fault>> parseFaults(const QString& text, QString* error = nullptr);

// The syntax and the list of kinds, for --help and the documentation.
QString faultSyntaxHelp();
