#include "http/HttpListener.h"

#include "http/ApiRoutes.h"
#include "http/ConnectionPool.h"

#include <QDateTime>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// The connection the current thread serves: the handlers run on it.
thread_local SocketConnection* servedConnection = nullptr;

// What a request's head and body together may take, framing of a chunked body included.
constexpr qint64 kMaxHeadBytes = 64 * 1024;
constexpr qint64 kChunkFraming = 8;
// Requests on one connection before it is closed, as its Keep-Alive header says.
constexpr int kRequestsPerConnection = 100;

QByteArray headerOf(const httplib::Request& request, const char* name) {
    return QByteArray::fromStdString(request.get_header_value(name));
}

ApiRequest apiRequestOf(const httplib::Request& request) {
    ApiRequest api;
    api.method = QByteArray::fromStdString(request.method);
    api.path = QString::fromStdString(request.path);
    for (const auto& [key, value] : request.params)
        api.query.append({QString::fromStdString(key), QString::fromStdString(value)});
    api.authorization = headerOf(request, "Authorization");
    api.contentType = headerOf(request, "Content-Type");
    api.contentEncoding = headerOf(request, "Content-Encoding");
    api.idempotencyKey = headerOf(request, "Idempotency-Key");
    if (request.has_header("Content-Length")) {
        bool ok = false;
        const qint64 length = headerOf(request, "Content-Length").trimmed().toLongLong(&ok);
        api.contentLength = ok && length >= 0 ? length : std::numeric_limits<qint64>::max();
    }
    api.chunked = headerOf(request, "Transfer-Encoding").toLower().contains("chunked");
    return api;
}

void fill(httplib::Response& response, const ApiAnswer& answer) {
    response.status = answer.status;
    response.set_content(answer.body.constData(), std::size_t(answer.body.size()),
                         "application/json");
    for (const auto& [name, value] : answer.headers)
        response.set_header(name.toStdString(), value.toStdString());
}

// The answer is the last of its connection: the request's body stays unread.
void closeAfter(httplib::Response& response) {
    if (servedConnection)
        servedConnection->closeAfterAnswer();
    response.set_header("Connection", "close");
}

// Binding takes the address alone; on Linux the library would let a second server share it.
void listeningSocketOptions(socket_t socket) {
    int yes = 1;
#ifdef _WIN32
    setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
               sizeof yes);
#else
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
}

} // namespace

HttpListener::HttpListener(ApiRoutes& routes, const ServerSettings& settings, LogSink log)
    : routes_(routes), settings_(settings), log_(std::move(log)) {
    new_task_queue = [size = settings.maxConnections] { return new ConnectionPool(size); };
    set_socket_options(listeningSocketOptions);
    set_payload_max_length(std::size_t(settings.maxBodyBytes)); // bodies read by the library
    // What the answers' Keep-Alive header tells the client.
    set_keep_alive_timeout(std::max<time_t>(1, time_t(settings.idleTimeout.count() / 1000)));
    set_keep_alive_max_count(kRequestsPerConnection);
    set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        return checkHead(request, response);
    });
    // A client that asks before sending its body learns at once what the head decides.
    set_expect_100_continue_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            return checkHead(request, response) == HandlerResponse::Handled ? response.status : 100;
        });
    Post(".*",
         [this](const httplib::Request& request, httplib::Response& response,
                const httplib::ContentReader& reader) { answer(request, response, &reader); });
    Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        answer(request, response, nullptr);
    });
    Delete(".*", [this](const httplib::Request& request, httplib::Response& response) {
        answer(request, response, nullptr);
    });
    // What the library refuses itself (a head it cannot read, a URI too long) gets a text too.
    set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty())
            fill(response,
                 ApiAnswer::error(response.status,
                                  QStringLiteral("the request cannot be read (HTTP status %1)")
                                      .arg(response.status)));
    });
    set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        logAnswer(request, response);
    });
}

httplib::Server::HandlerResponse HttpListener::checkHead(const httplib::Request& request,
                                                         httplib::Response& response) {
    const ApiRequest api = apiRequestOf(request);
    const std::optional<ApiAnswer> refusal = routes_.checkHead(api);
    if (!refusal)
        return HandlerResponse::Unhandled;
    fill(response, *refusal);
    if (api.hasBody())
        closeAfter(response);
    return HandlerResponse::Handled;
}

void HttpListener::answer(const httplib::Request& request, httplib::Response& response,
                          const httplib::ContentReader* reader) {
    const ApiRequest api = apiRequestOf(request);
    QByteArray body;
    if (reader) {
        bool tooLarge = false;
        const qint64 limit = routes_.maxBodyBytes();
        const bool whole = (*reader)([&](const char* data, std::size_t size) {
            if (body.size() + qint64(size) > limit) {
                tooLarge = true;
                return false;
            }
            body.append(data, qsizetype(size));
            return true;
        });
        if (tooLarge || !whole) {
            fill(response, tooLarge ? routes_.tooLarge()
                                    : ApiAnswer::error(400, QStringLiteral("the body did not "
                                                                           "arrive whole")));
            closeAfter(response);
            return;
        }
    }
    fill(response, routes_.answer(api, body));
}

// One line per answer; the request's headers, and so its token, are never written.
void HttpListener::logAnswer(const httplib::Request& request,
                             const httplib::Response& response) const {
    if (!log_)
        return;
    log_(QStringLiteral("%1 %2 %3 %4 %5")
             .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
                  request.remote_addr.empty() ? QStringLiteral("-") // a head never read whole
                                              : QString::fromStdString(request.remote_addr),
                  QString::fromStdString(request.method),
                  QString::fromStdString(request.path).left(200))
             .arg(response.status));
}

void HttpListener::shutDown() {
    // The library's stop() does nothing before its loop has begun, which would then run on.
    const socket_t listening = svr_sock_.exchange(INVALID_SOCKET);
    if (listening != INVALID_SOCKET) {
#ifdef _WIN32
        shutdown(listening, SD_BOTH);
        closesocket(listening);
#else
        shutdown(listening, SHUT_RDWR);
        close(listening);
#endif
    }
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    for (SocketConnection* connection : connections_)
        connection->shutDown();
}

bool HttpListener::process_and_close_socket(socket_t socket) {
    SocketConnection connection(
        socket, SocketConnection::Limits{settings_.idleTimeout, settings_.requestTimeout,
                                         kMaxHeadBytes + kChunkFraming * settings_.maxBodyBytes});
    {
        const std::lock_guard lock(mutex_);
        if (stopping_)
            return true;
        connections_.insert(&connection);
    }
    servedConnection = &connection;
    for (int request = 1; request <= kRequestsPerConnection && connection.awaitRequest();
         ++request) {
        bool clientClosed = false;
        const bool last = request == kRequestsPerConnection;
        const bool served = process_request(connection, last, clientClosed, nullptr);
        if (!served || clientClosed || connection.closing())
            break;
    }
    servedConnection = nullptr;
    const std::lock_guard lock(mutex_);
    connections_.erase(&connection);
    return true;
}
