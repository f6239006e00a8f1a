#include "app/TablePaneLook.h"

#include "jobs/CheckedDownload.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The looks are built into the program, so a look that cannot be read is a fault of the build.
QJsonObject storedLook(const QString& kind) {
    static const QJsonObject looks = [] {
        QFile file(QStringLiteral(":/app/TablePaneLooks.json"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("The table panes' looks are missing from the program");
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    const QJsonObject look = looks.value(kind).toObject();
    if (look.isEmpty())
        qFatal("The table panes' looks have no entry for %s", qPrintable(kind));
    return look;
}

QStringList texts(const QJsonValue& list) {
    QStringList result;
    for (const QJsonValue& text : list.toArray())
        result << text.toString();
    return result;
}

TablePaneLook lookOf(const QString& kind) {
    const QJsonObject json = storedLook(kind);
    const QJsonObject menu = json.value(QStringLiteral("menu")).toObject();
    const QJsonObject download = json.value(QStringLiteral("download")).toObject();
    const QJsonObject words = json.value(QStringLiteral("words")).toObject();
    const auto text = [](const QJsonObject& object, const char* key) {
        return object.value(QLatin1String(key)).toString();
    };
    TablePaneLook look;
    look.caption = text(json, "caption");
    look.gridName = text(json, "gridName");
    look.editBoxName = text(json, "editBoxName");
    look.rowLimitMessage = text(json, "rowLimitMessage");
    look.fileFilter = text(json, "fileFilter");
    look.filesName = text(json, "filesName");
    look.menu.name = text(menu, "name");
    look.menu.newItem = text(menu, "newItem");
    look.menu.openMenu = text(menu, "openMenu");
    look.menu.saveMenu = text(menu, "saveMenu");
    look.menu.fileCaption = text(menu, "fileCaption");
    look.menu.openItem = text(menu, "openItem");
    look.menu.saveItem = text(menu, "saveItem");
    look.menu.separators = texts(menu.value(QStringLiteral("separators")));
    look.menu.workbookOpenItems = texts(menu.value(QStringLiteral("workbookOpenItems")));
    look.menu.workbookSaveItems = texts(menu.value(QStringLiteral("workbookSaveItems")));
    look.menu.exitItem = text(menu, "exitItem");
    look.download.buttonCaption = text(download, "buttonCaption");
    look.download.buttonName = text(download, "buttonName");
    look.download.boxWord = text(download, "boxWord");
    look.download.readBack = download.value(QStringLiteral("readBack")).toBool();
    look.download.verifyName = text(download, "verifyName");
    look.download.backupName = text(download, "backupName");
    look.download.noReadBackNoteName = text(download, "noReadBackNoteName");
    look.words.saveQuestion = text(words, "saveQuestion");
    look.words.downloadNotice = text(words, "downloadNotice");
    return look;
}

} // namespace

const TablePaneLook& pluPaneLook() {
    static const TablePaneLook look = lookOf(QStringLiteral("PLU"));
    return look;
}

const TablePaneLook& ingredPaneLook() {
    static const TablePaneLook look = [] {
        TablePaneLook ingred = lookOf(QStringLiteral("INGRED"));
        ingred.download.noReadBackNote = kIngredCannotBeVerified; // the same text as scalectl's
        return ingred;
    }();
    return look;
}
