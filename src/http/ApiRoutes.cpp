#include "http/ApiRoutes.h"

#include "http/ApiBackend.h"
#include "http/BodyForm.h"
#include "http/JobBoard.h"
#include "http/MainThreadGate.h"
#include "http/SendBody.h"
#include "tables/Records.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTimeZone>

namespace {

enum class Resource { Unknown, Health, OpenApi, Scales, Journal, Job, Plu, Ingred };

struct Target {
    Resource resource = Resource::Unknown;
    QString jobId;
};

Target targetOf(const QString& path) {
    static const QHash<QString, Resource> fixed{
        {QStringLiteral("/v1/health"), Resource::Health},
        {QStringLiteral("/v1/openapi.json"), Resource::OpenApi},
        {QStringLiteral("/v1/scales"), Resource::Scales},
        {QStringLiteral("/v1/journal"), Resource::Journal},
        {QStringLiteral("/v1/plu"), Resource::Plu},
        {QStringLiteral("/v1/ingred"), Resource::Ingred},
    };
    if (const auto it = fixed.constFind(path); it != fixed.constEnd())
        return Target{*it, QString()};
    static const QRegularExpression job(QStringLiteral("^/v1/jobs/([A-Za-z0-9_-]{1,64})$"));
    if (const QRegularExpressionMatch match = job.match(path); match.hasMatch())
        return Target{Resource::Job, match.captured(1)};
    return Target{};
}

QByteArrayList methodsOf(Resource resource) {
    switch (resource) {
    case Resource::Plu:
    case Resource::Ingred:
        return {"POST"};
    case Resource::Job:
        return {"GET", "HEAD", "DELETE"};
    default:
        return {"GET", "HEAD"};
    }
}

// A path as an error text quotes it: short, with nothing but printable ASCII.
QString shownPath(const QString& path) {
    QString shown = path.left(80);
    for (QChar& c : shown)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            c = QLatin1Char('?');
    return shown;
}

std::optional<RequestProblem> readJournalQuery(const QueryItems& items, JournalQuery& query) {
    const auto bad = [](const QString& text) { return RequestProblem{400, text}; };
    for (const auto& [key, value] : items) {
        if (key == QLatin1String("scale")) {
            query.scale = value;
        } else if (key == QLatin1String("plu")) {
            bool ok = false;
            const int number = value.toInt(&ok);
            if (!ok || number < 0 || number > 32767)
                return bad(QStringLiteral("plu must be a PLU number from 0 to 32767"));
            query.plu = number;
        } else if (key == QLatin1String("since") || key == QLatin1String("until")) {
            QDateTime time = QDateTime::fromString(value, Qt::ISODateWithMs);
            if (!time.isValid())
                return bad(
                    QStringLiteral("%1 must be a time such as 2024-05-31T18:00:00Z").arg(key));
            if (time.timeSpec() == Qt::LocalTime) // no offset given: UTC, as the journal keeps
                time.setTimeZone(QTimeZone::utc());
            (key == QLatin1String("since") ? query.since : query.until) = time.toUTC();
        } else if (key == QLatin1String("limit")) {
            bool ok = false;
            query.limit = value.toInt(&ok);
            if (!ok || query.limit < 1 || query.limit > 10000)
                return bad(QStringLiteral("limit must be a number from 1 to 10000"));
        } else {
            return bad(QStringLiteral("\"%1\" is not a parameter of the journal; it takes "
                                      "scale, plu, since, until, limit")
                           .arg(key.left(40)));
        }
    }
    if (query.since.isValid() && query.until.isValid() && query.since > query.until)
        return bad(QStringLiteral("since must not be after until"));
    return std::nullopt;
}

// Same key, same request: the method, the resource, the form, the query and the body.
QByteArray fingerprintOf(const ApiRequest& request, const QByteArray& body) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(request.path.toUtf8() + '\n' + request.contentType.toLower() + '\n');
    for (const auto& [key, value] : request.query)
        hash.addData((key + QLatin1Char('=') + value + QLatin1Char('\n')).toUtf8());
    hash.addData(body);
    return hash.result();
}

} // namespace

ApiRoutes::ApiRoutes(MainThreadGate& gate, ApiBackend& backend, BearerToken token,
                     qint64 maxBodyBytes)
    : gate_(gate), backend_(backend), token_(std::move(token)), maxBodyBytes_(maxBodyBytes) {
    QFile document(QStringLiteral(":/http/openapi.json"));
    if (document.open(QIODevice::ReadOnly))
        openApi_ = document.readAll();
}

std::optional<ApiAnswer> ApiRoutes::checkHead(const ApiRequest& request) const {
    if (!token_.admits(request.authorization)) {
        ApiAnswer answer = ApiAnswer::error(
            401,
            QStringLiteral("this server needs \"Authorization: Bearer TOKEN\" with its token"));
        answer.addHeader("WWW-Authenticate", "Bearer realm=\"ScaleDesk\"");
        return answer;
    }
    const Target target = targetOf(request.path);
    if (target.resource == Resource::Unknown)
        return ApiAnswer::error(
            404, QStringLiteral("there is nothing at %1").arg(shownPath(request.path)));
    const QByteArrayList allowed = methodsOf(target.resource);
    if (!allowed.contains(request.method)) {
        ApiAnswer answer = ApiAnswer::error(
            405, QStringLiteral("%1 takes %2")
                     .arg(shownPath(request.path), QString::fromLatin1(allowed.join(", "))));
        answer.addHeader("Allow", allowed.join(", "));
        return answer;
    }
    if (request.method != "POST") {
        if (request.hasBody())
            return ApiAnswer::error(400, QStringLiteral("this request takes no body"));
        return std::nullopt;
    }
    if (request.contentLength.value_or(0) > maxBodyBytes_)
        return tooLarge();
    if (!request.contentEncoding.isEmpty() &&
        request.contentEncoding.compare("identity", Qt::CaseInsensitive) != 0)
        return ApiAnswer::error(415, QStringLiteral("send the body without a Content-Encoding"));
    if (!bodyFormOf(request.contentType))
        return ApiAnswer::error(415, QStringLiteral("a send takes the Content-Type %1, not \"%2\"")
                                         .arg(acceptedContentTypes(),
                                              QString::fromLatin1(request.contentType.left(80))));
    if (!request.idempotencyKey.isEmpty() && !IdempotencyKeys::isValid(request.idempotencyKey))
        return ApiAnswer::error(400, QStringLiteral("an Idempotency-Key is 1 to 255 visible "
                                                    "ASCII characters"));
    return std::nullopt;
}

ApiAnswer ApiRoutes::tooLarge() const {
    return ApiAnswer::error(413,
                            QStringLiteral("the body is larger than %1 bytes").arg(maxBodyBytes_));
}

ApiAnswer ApiRoutes::answer(const ApiRequest& request, const QByteArray& body) const {
    const Target target = targetOf(request.path);
    ApiBackend& backend = backend_;
    switch (target.resource) {
    case Resource::Health:
        return onMainThread([&backend] { return backend.health(); });
    case Resource::OpenApi:
        return ApiAnswer{200, openApi_, {}};
    case Resource::Scales:
        return onMainThread([&backend] { return backend.scales(); });
    case Resource::Journal:
        return journal(request);
    case Resource::Job:
        if (request.method == "DELETE")
            return onMainThread([&backend, id = target.jobId] { return backend.cancel(id); });
        if (const JobBoard* board = backend.jobBoard()) // read here, the Qt thread left alone
            return ApiBackend::jobAnswer(target.jobId, board->find(target.jobId));
        return onMainThread([&backend, id = target.jobId] { return backend.job(id); });
    case Resource::Plu:
    case Resource::Ingred:
        return send(request, body, target.resource == Resource::Plu);
    case Resource::Unknown:
        break;
    }
    return ApiAnswer::error(404,
                            QStringLiteral("there is nothing at %1").arg(shownPath(request.path)));
}

ApiAnswer ApiRoutes::send(const ApiRequest& request, const QByteArray& body, bool plu) const {
    const BodyForm form = *bodyFormOf(request.contentType);
    auto read = plu ? readSendBody<PluRecord>(body, form, request.query)
                    : readSendBody<IngredRecord>(body, form, request.query);
    if (const auto* problem = std::get_if<RequestProblem>(&read))
        return problem->answer();
    ApiBackend& backend = backend_;
    return onMainThread([&backend, sendRequest = std::get<SendRequest>(std::move(read)),
                         key = QString::fromLatin1(request.idempotencyKey),
                         fingerprint = fingerprintOf(request, body)] {
        return backend.startSend(sendRequest, key, fingerprint);
    });
}

ApiAnswer ApiRoutes::journal(const ApiRequest& request) const {
    JournalQuery query;
    if (auto problem = readJournalQuery(request.query, query))
        return problem->answer();
    ApiBackend& backend = backend_;
    return onMainThread([&backend, query] { return backend.journal(query); });
}

ApiAnswer ApiRoutes::onMainThread(std::function<ApiAnswer()> work) const {
    if (std::optional<ApiAnswer> answer = gate_.call(std::move(work)))
        return *answer;
    ApiAnswer answer = ApiAnswer::error(
        503, QStringLiteral("ScaleDesk did not take the request up within %1 ms; nothing was "
                            "started")
                 .arg(gate_.deadline().count()));
    answer.addHeader("Retry-After", "5");
    return answer;
}
