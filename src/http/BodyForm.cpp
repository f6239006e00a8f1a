#include "http/BodyForm.h"

#include <QList>

#include <utility>

namespace {

const QList<std::pair<QByteArray, BodyForm>>& forms() {
    static const QList<std::pair<QByteArray, BodyForm>> all{
        {"application/json", BodyForm::Json},
        {"text/plain", BodyForm::TableFile},
        {"text/csv", BodyForm::Csv},
        {"application/vnd.ms-excel", BodyForm::Xls},
        {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", BodyForm::Xlsx},
    };
    return all;
}

} // namespace

std::optional<BodyForm> bodyFormOf(const QByteArray& contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    const QByteArray type = parts.first().trimmed().toLower();
    for (const auto& [name, form] : forms()) {
        if (type != name)
            continue;
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const QByteArray parameter = parts[i].trimmed().toLower();
            if (form == BodyForm::Json && parameter.startsWith("charset=") &&
                parameter != "charset=utf-8" && parameter != "charset=\"utf-8\"")
                return std::nullopt;
        }
        return form;
    }
    return std::nullopt;
}

QString acceptedContentTypes() {
    QStringList names;
    for (const auto& form : forms())
        names << QString::fromLatin1(form.first);
    return names.join(QStringLiteral(", "));
}
