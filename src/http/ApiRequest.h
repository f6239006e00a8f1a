#pragma once

#include "http/SendOptions.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What the routes need of a request, as the HTTP library read its head.
struct ApiRequest {
    QByteArray method; // "GET", "POST", ...
    QString path;      // without the query
    QueryItems query;  // decoded, in order
    QByteArray authorization;
    QByteArray contentType;
    QByteArray contentEncoding;
    QByteArray idempotencyKey;
    std::optional<qint64> contentLength; // nothing when the head declares none
    bool chunked = false;

    // Whether a body follows the head, which must be read or the connection closed.
    bool hasBody() const { return chunked || contentLength.value_or(0) > 0; }
};
