#include "http/SendOptions.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace {

RequestProblem optionProblem(const QString& option, const QString& text, int status = 422) {
    return RequestProblem{status, text, 0, option};
}

std::optional<RequestProblem> readSelection(const QString& text, DownloadSelection& selection) {
    static const QRegularExpression pattern(QStringLiteral("^(?:all|(\\d{1,5})(?:-(\\d{1,5}))?)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return optionProblem(QStringLiteral("selection"),
                             QStringLiteral("selection must be \"all\", a row \"N\" or rows "
                                            "\"FIRST-LAST\", not \"%1\"")
                                 .arg(text.left(40)));
    if (match.captured(1).isEmpty())
        selection = DownloadSelection{};
    else if (match.captured(2).isEmpty())
        selection = DownloadSelection{DownloadChoice::One, match.captured(1), {}, {}};
    else
        selection =
            DownloadSelection{DownloadChoice::Multiple, {}, match.captured(1), match.captured(2)};
    return std::nullopt;
}

std::optional<RequestProblem> addScale(const QString& name, QStringList& scales) {
    if (name.trimmed().isEmpty())
        return optionProblem(QStringLiteral("scales"), QStringLiteral("a scale name is empty"));
    if (scales.contains(name, Qt::CaseInsensitive))
        return optionProblem(QStringLiteral("scales"),
                             QStringLiteral("the scale \"%1\" is named twice").arg(name));
    scales << name;
    return std::nullopt;
}

} // namespace

std::optional<RequestProblem> optionsFromJson(const QJsonObject& body, SendOptions& options) {
    for (auto it = body.begin(); it != body.end(); ++it) {
        const QString& key = it.key();
        if (key == QLatin1String("rows"))
            continue;
        if (key == QLatin1String("scales")) {
            if (!it->isArray() || it->toArray().isEmpty())
                return optionProblem(key, QStringLiteral("scales must be a list of scale names; "
                                                         "leave it out to send to every scale"));
            for (const QJsonValue& name : it->toArray()) {
                if (!name.isString())
                    return optionProblem(key, QStringLiteral("scales must hold names (texts)"));
                if (auto problem = addScale(name.toString(), options.scales))
                    return problem;
            }
        } else if (key == QLatin1String("selection")) {
            if (!it->isString())
                return optionProblem(key, QStringLiteral("selection must be a text"));
            if (auto problem = readSelection(it->toString(), options.selection))
                return problem;
        } else if (key == QLatin1String("changed")) {
            if (!it->isBool())
                return optionProblem(key, QStringLiteral("changed must be true or false"));
            options.changed = it->toBool();
        } else {
            return optionProblem(key, QStringLiteral("\"%1\" is not a member of a send request; "
                                                     "it takes rows, scales, selection, changed")
                                          .arg(key.left(40)));
        }
    }
    return std::nullopt;
}

std::optional<RequestProblem> optionsFromQuery(const QueryItems& query, SendOptions& options) {
    for (const auto& [key, value] : query) {
        if (key == QLatin1String("scales")) {
            if (auto problem = addScale(value, options.scales))
                return problem;
        } else if (key == QLatin1String("selection")) {
            if (auto problem = readSelection(value, options.selection))
                return problem;
        } else if (key == QLatin1String("changed")) {
            if (value != QLatin1String("true") && value != QLatin1String("false"))
                return optionProblem(key, QStringLiteral("changed must be true or false"));
            options.changed = value == QLatin1String("true");
        } else {
            return optionProblem(key,
                                 QStringLiteral("\"%1\" is not a parameter of a send; it takes "
                                                "scales, selection, changed")
                                     .arg(key.left(40)),
                                 400);
        }
    }
    return std::nullopt;
}

std::optional<RequestProblem> checkSelection(const DownloadSelection& selection, int rowCount) {
    int first = 1, last = rowCount;
    if (selection.choice == DownloadChoice::One) {
        first = last = selection.oneNo.toInt();
    } else if (selection.choice == DownloadChoice::Multiple) {
        first = selection.startNo.toInt();
        last = selection.endNo.toInt();
    }
    if (first < 1 || last > rowCount || first > last)
        return optionProblem(QStringLiteral("selection"),
                             QStringLiteral("the selection must pick rows from 1 to %1, first "
                                            "before last")
                                 .arg(rowCount));
    return std::nullopt;
}
