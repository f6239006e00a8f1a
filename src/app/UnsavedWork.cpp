#include "app/AppInfo.h"
#include "app/EditHistory.h"
#include "app/FileDialog.h"
#include "app/TableFileMenu.h"
#include "app/frmMain.h"

#include <QLabel>

// Unsaved edits: the marks that show them, and the questions asked before they would be lost
// (New, Open, import, Exit) or bypassed (a download sends the records, which only a Save
// brings in line with the grid).

namespace {

struct TableWords {
    QString mark;           // in the title and beside the "Source" box
    QString saveQuestion;   // before they would be lost
    QString downloadNotice; // before a download would send the table as last saved
};

TableWords wordsFor(const PluTable&) {
    return {QStringLiteral("PLU"), QStringLiteral("Save changes to the PLU table?"),
            QStringLiteral("The PLU table has changes that are not saved. Save them and send "
                           "them, or send the table as last saved?")};
}

TableWords wordsFor(const IngredTable&) {
    return {QStringLiteral("INGRED"), QStringLiteral("Save changes to the ingredient messages?"),
            QStringLiteral("The ingredient messages have changes that are not saved. Save them "
                           "and send them, or send the messages as last saved?")};
}

} // namespace

EditHistory& frmMain::historyOf(const PluTable&) {
    return *pluHistory_;
}

EditHistory& frmMain::historyOf(const IngredTable&) {
    return *ingredHistory_;
}

template <typename Table> bool frmMain::settle(Table& table, bool forDownload) {
    if (!historyOf(table).unsaved())
        return true;
    // "?" in "Source": no table was opened or saved since start-up, New or an upload, so there
    // is no last saved table to offer. The download refuses by itself, without a question.
    if (forDownload && sourcePath() == QLatin1String("?"))
        return true;
    const TableWords words = wordsFor(table);
    const SavePrompt prompt =
        forDownload
            ? SavePrompt{words.downloadNotice, QStringLiteral("Save and Send"),
                         QStringLiteral("Send Last Saved")}
            : SavePrompt{words.saveQuestion, QStringLiteral("Save"), QStringLiteral("Discard")};
    switch (ask(prompt)) {
    case SavePrompt::Answer::Save:
        return saveTable(table);
    case SavePrompt::Answer::Discard:
        return true;
    case SavePrompt::Answer::Cancel:
        break;
    }
    return false;
}

bool frmMain::settleUnsaved(PluTable& table) {
    return settle(table, false);
}

bool frmMain::settleUnsaved(IngredTable& table) {
    return settle(table, false);
}

bool frmMain::settleBeforeDownload(PluTable& table) {
    return settle(table, true);
}

bool frmMain::settleBeforeDownload(IngredTable& table) {
    return settle(table, true);
}

bool frmMain::saveTable(PluTable& table) {
    return tablefilemenu::fileSave(*this, table, *dlgFile, FileDialog::pluFilter());
}

bool frmMain::saveTable(IngredTable& table) {
    return tablefilemenu::fileSave(*this, table, *dlgFile, FileDialog::ingredFilter());
}

void frmMain::updateUnsavedMarks() {
    QStringList unsaved;
    if (pluHistory_->unsaved())
        unsaved << wordsFor(plu_).mark;
    if (ingredHistory_->unsaved())
        unsaved << wordsFor(ingred_).mark;
    QStringList marked;
    for (const QString& mark : std::as_const(unsaved))
        marked << mark + QLatin1Char('*');
    setWindowTitle(unsaved.isEmpty()
                       ? appinfo::productName()
                       : appinfo::productName() + QStringLiteral(" - ") + marked.join(' '));
    lblUnsaved->setText(QStringLiteral("* not saved: ") + unsaved.join(QStringLiteral(", ")));
    lblUnsaved->setAccessibleName(lblUnsaved->text());
    lblUnsaved->setVisible(!unsaved.isEmpty());
}
