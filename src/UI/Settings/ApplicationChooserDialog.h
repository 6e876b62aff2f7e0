#pragma once

#include "Models/ClipItem.h"
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

    // Every application a clip's card can name, so that each can be excluded: the running
    // ones under the names their cards show (also those whose desktop entry hides them from
    // menus), the sources the clips name, and the installed applications that menus show;
    // sorted by name, without Vellora itself.
    static QList<Platform::ApplicationInfo> availableApplications(const QList<ClipItem>& clips = {});
    // Runs the sheet over availableApplications(clips); the chosen identifiers in list order,
    // or none when it was cancelled.
    static QStringList chooseApplications(QWidget* parent, const QList<ClipItem>& clips);

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
