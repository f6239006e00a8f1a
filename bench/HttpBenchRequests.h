#pragma once

// What the HTTP benchmarks send and how they connect.

#include <httplib.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>

// A send's JSON body of `rows` PLU rows, each field set.
inline std::string pluJson(int rows) {
    QJsonArray array;
    for (int i = 1; i <= rows; ++i)
        array.append(QJsonObject{{"PluNo", i},
                                 {"ItemCode", 100000 + i},
                                 {"ItemName1", QStringLiteral("Item %1 first line").arg(i)},
                                 {"ItemName2", "second line"},
                                 {"UnitPrice", 199 + i},
                                 {"ValidDate", 7},
                                 {"Tare", 15},
                                 {"GCode", 2},
                                 {"MessageNo", i % 200}});
    return QJsonDocument(QJsonObject{{"rows", array}}).toJson().toStdString();
}

// A client of the server on `port` that keeps its connection, with TCP_NODELAY as curl and
// browsers set it.
inline httplib::Client benchClient(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    return client;
}
