#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <type_traits>

// One row's exchange with the scale, told once the scale has answered it (or the exchange
// ended on it): a record sent by a download, or a number asked for by an upload.
struct RowExchange {
    int index = 0;         // the table row sent (download); 0 for a read
    int number = 0;        // PluNo / MessageNo
    QByteArray record;     // the wire record as sent or as read; empty: the scale lacks the number
    QStringList fields;    // the record's fields as texts, in the kind's order; empty with record
    bool accepted = false; // sent: the scale stored it; read: the scale answered for the number
    int retries = 0;       // counted failures of this row before its end
};

using StatusSink = std::function<void(const QString& text)>;
using ProgressSink = std::function<void(int done, int total)>;

// What an exchange tells while it runs. Every member may be empty.
struct ExchangeEvents {
    ExchangeEvents() = default;
    // Only the status texts, as a command line or a test hears them.
    template <typename Sink>
    requires std::is_invocable_v<Sink, const QString&> ExchangeEvents(Sink sink)
        : status(std::move(sink)) {}

    StatusSink status;     // each status text, as shown
    ProgressSink progress; // rows (numbers) done, of all
    std::function<void(int retry, const QString& reason)>
        retry;                                       // "Retry #n" and the failure before it
    std::function<void(const RowExchange& row)> row; // each row once answered

    void show(const QString& text) const {
        if (status)
            status(text);
    }
};
