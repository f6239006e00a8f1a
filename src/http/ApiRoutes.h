#pragma once

#include "http/ApiAnswer.h"
#include "http/ApiRequest.h"
#include "http/BearerToken.h"

#include <QByteArray>

#include <optional>

class ApiBackend;
class MainThreadGate;

// The resources under /v1 and what each method does there. Runs on the server's threads:
// reads and checks the request, then asks the backend on the Qt thread through the gate.
class ApiRoutes {
public:
    ApiRoutes(MainThreadGate& gate, ApiBackend& backend, BearerToken token, qint64 maxBodyBytes);

    // What the head alone decides: 401 without the token, 404/405 for what is not here, for a
    // send 413 for a declared length over the limit and 415 for a form that cannot be read.
    // Nothing when the request goes on.
    std::optional<ApiAnswer> checkHead(const ApiRequest& request) const;

    // The answer of a request that passed checkHead(), with its body (at most maxBodyBytes).
    ApiAnswer answer(const ApiRequest& request, const QByteArray& body) const;

    qint64 maxBodyBytes() const { return maxBodyBytes_; }
    ApiAnswer tooLarge() const; // 413

private:
    ApiAnswer send(const ApiRequest& request, const QByteArray& body, bool plu) const;
    ApiAnswer journal(const ApiRequest& request) const;
    ApiAnswer onMainThread(std::function<ApiAnswer()> work) const;

    MainThreadGate& gate_;
    ApiBackend& backend_;
    BearerToken token_;
    qint64 maxBodyBytes_;
    QByteArray openApi_;
};
