#include "http/ApiAnswer.h"

#include <QJsonDocument>

ApiAnswer ApiAnswer::json(int status, const QJsonObject& object) {
    return ApiAnswer{status, QJsonDocument(object).toJson(QJsonDocument::Compact), {}};
}

ApiAnswer ApiAnswer::error(int status, const QString& text) {
    return json(status, QJsonObject{{QStringLiteral("error"), text}});
}

ApiAnswer RequestProblem::answer() const {
    QJsonObject object{{QStringLiteral("error"), text}};
    if (row > 0)
        object.insert(QStringLiteral("row"), row);
    if (!field.isEmpty())
        object.insert(QStringLiteral("field"), field);
    return ApiAnswer::json(status, object);
}
