#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <utility>

// One answer of the HTTP interface: its status, its JSON body and the headers it adds.
struct ApiAnswer {
    int status = 200;
    QByteArray body; // JSON text
    QList<std::pair<QByteArray, QByteArray>> headers;

    void addHeader(const QByteArray& name, const QByteArray& value) {
        headers.append(std::make_pair(name, value));
    }

    static ApiAnswer json(int status, const QJsonObject& object);
    // {"error": text}; what went wrong in words a person reads.
    static ApiAnswer error(int status, const QString& text);
};

// Why a request is refused before anything is started: a 400, 413, 415 or 422, and for a 422
// the row (1 = the first) and the field of the first value that cannot be sent.
struct RequestProblem {
    RequestProblem(int status, const QString& text, int row = 0, const QString& field = QString())
        : status(status), text(text), row(row), field(field) {}

    int status;
    QString text;
    int row;       // 0 when the problem is not one row's
    QString field; // empty when it is not one field's

    ApiAnswer answer() const;
};
