#include "UI/Settings/DestructiveConfirmation.h"

#include "Util/Localization.h"

#include <QMessageBox>
#include <QPushButton>

QMessageBox* openDestructiveConfirmation(QWidget* window, const QString& title, const QString& message,
                                         const QString& actionTitle, QObject* context,
                                         std::function<void(bool confirmed)> answered)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::NoButton, window);
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(message);
    QPushButton* action = box->addButton(actionTitle, QMessageBox::DestructiveRole);
    QPushButton* cancel =
        box->addButton(Localization::string(QStringLiteral("Cancel")), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(box, &QMessageBox::finished, context, [box, action, answered = std::move(answered)] {
        box->deleteLater();
        answered(box->clickedButton() == action);
    });
    box->open();
    return box;
}
