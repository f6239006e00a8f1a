#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

// What `scalectl serve` checks before it listens.

// Why the server may not listen on `address` (empty when it may): beyond this machine only
// with a token, since anyone on the network could send prices to the scales otherwise.
QString listenRefusal(const QHostAddress& address, bool hasToken);

struct TokenRead {
    QByteArray token;
    QString error; // why the file cannot serve as the token; empty when it can
};

// The token of --token-file: a regular file of at most 4 KiB holding 16 to 1024 visible
// ASCII characters (a line end after them is fine). On Linux the file must be private to
// its owner (no permission for group or others), as ssh wants its keys: a token others can
// read is no secret.
TokenRead readTokenFile(const QString& path);
