#pragma once

#include "Platform/UpdateFailure.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The window of a software update: checking, a newer version offered, the download's
// progress, installing, up to date, a downloaded file waiting for the user, or a failure.
// Its texts follow the language in use.
class UpdateDialog final : public QDialog {
    Q_OBJECT
public:
    enum class Action { install, later, skip, cancel, done };

    explicit UpdateDialog(QWidget* parent = nullptr);

    void showChecking();
    void showFound(const QString& version, const QString& installedVersion);
    void showDownloading();
    void showProgress(qint64 received, qint64 expected);
    void showInstalling();
    void showUpToDate(const QString& installedVersion);
    void showDownloaded(const QString& version, const QString& path);
    void showFailure(Platform::UpdateFailure failure);

    // Closing the window: "Later" for an offer, cancel for a check or a download.
    void reject() override;

    // The localised explanation of a failure.
    static QString failureMessage(Platform::UpdateFailure failure);

signals:
    // A button was pressed or the window closed; the window is hidden already.
    void actionChosen(Action action);

private:
    enum class State { checking, found, downloading, installing, upToDate, downloaded, failed };

    void enter(State state);
    void render();
    void choose(Action action);

    State state_ = State::checking;
    QString version_;
    QString installedVersion_;
    QString path_;
    Platform::UpdateFailure failure_ = Platform::UpdateFailure::unreachable;
    qint64 received_ = 0;
    qint64 expected_ = 0;

    QLabel* title_ = nullptr;
    QLabel* message_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* skip_ = nullptr;
    QPushButton* later_ = nullptr;
    QPushButton* primary_ = nullptr;
};
