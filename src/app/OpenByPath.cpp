#include "app/TableFileMenu.h"
#include "app/frmMain.h"
#include "tables/ShownText.h"

#include <QDir>
#include <QFileInfo>
#include <QTabWidget>

// A table file named on the command line, or opened from Explorer or the file manager, which
// start `scaledesk FILE`.

namespace {

template <typename Table> bool isFileOf(const QString& path) {
    return QFileInfo(path).suffix().compare(Table::RecordType::kind().file.extension,
                                            Qt::CaseInsensitive) == 0;
}

} // namespace

void frmMain::openPath(const QString& path) {
    const auto showTab = [this](const QString& name) {
        for (int i = 0; i < SSTab->count(); ++i) {
            if (SSTab->tabText(i) == name)
                SSTab->setCurrentIndex(i);
        }
    };
    if (isFileOf<PluTable>(path)) {
        showTab(PluRecord::kind().name);
        tablefilemenu::fileOpenPath(*this, plu_, path);
    } else if (isFileOf<IngredTable>(path)) {
        showTab(IngredRecord::kind().name);
        tablefilemenu::fileOpenPath(*this, ingred_, path);
    } else {
        showStatus(QStringLiteral("Cannot open \"%1\": ScaleDesk opens PLU files (.%2) and "
                                  "ingredient message files (.%3)")
                       .arg(shownText(QDir::toNativeSeparators(path)),
                            PluRecord::kind().file.extension, IngredRecord::kind().file.extension));
    }
}
