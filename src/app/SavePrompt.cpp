#include "app/SavePrompt.h"

#include "app/AppInfo.h"

#include <QMessageBox>
#include <QPushButton>

SavePrompt::Answer askWithMessageBox(QWidget* parent, const SavePrompt& prompt) {
    QMessageBox box(QMessageBox::Warning, appinfo::productName(), prompt.text,
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("SavePrompt"));
    QPushButton* save = box.addButton(prompt.saveCaption, QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(prompt.discardCaption, QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SavePrompt::Answer::Save;
    if (box.clickedButton() == discard)
        return SavePrompt::Answer::Discard;
    return SavePrompt::Answer::Cancel;
}
