#pragma once

#include "Platform/Workspace.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// A window-modal sheet listing the desktop's applications with their icons and names,
// filtered by a search field; several can be chosen. It answers with their identifiers as
// the clipboard monitor names source applications.
class ApplicationChooserDialog final : public QDialog {
    Q_OBJECT
public:
    ApplicationChooserDialog(QList<Platform::ApplicationInfo> applications, QWidget* parent = nullptr);

    // The installed applications that menus show, and the running ones that have no desktop
    // entry (named by their window class or program), sorted by name.
    static QList<Platform::ApplicationInfo> availableApplications();
    // Runs the sheet over availableApplications(); the chosen identifiers in list order, or
    // none when it was cancelled.
    static QStringList chooseApplications(QWidget* parent);

    // The selected identifiers in list order, also those that the search currently hides.
    QStringList chosenIdentifiers() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Return with nothing selected takes the row the keyboard is on, or the only one shown.
    bool chooseFromKeyboard();
    void fill(const QList<Platform::ApplicationInfo>& applications);
    void applyFilter(const QString& text);
    void refreshAddButton();

    QLabel* message_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* add_ = nullptr;
};
