#include "UI/UpdateDialog.h"

#include "UI/VelloraBrand.h"
#include "UI/VelloraTypography.h"
#include "Util/AppLanguage.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int iconSize = 64;
constexpr int textWidth = 360;
constexpr int spacing = 12;

QString text(const char* english)
{
    return Localization::string(QString::fromUtf8(english));
}

} // namespace

UpdateDialog::UpdateDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("updateDialog"));
    auto* icon = new QLabel(this);
    icon->setPixmap(VelloraBrand::markIcon().pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);

    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("updateTitle"));
    title_->setFont(VelloraTypography::title());
    title_->setTextFormat(Qt::PlainText);
    title_->setWordWrap(true);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("updateMessage"));
    message_->setFont(VelloraTypography::body());
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setFixedWidth(textWidth);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    progress_ = new QProgressBar(this);
    progress_->setTextVisible(false);

    skip_ = new QPushButton(this);
    skip_->setObjectName(QStringLiteral("updateSkip"));
    connect(skip_, &QPushButton::clicked, this, [this] { choose(Action::skip); });
    later_ = new QPushButton(this);
    later_->setObjectName(QStringLiteral("updateLater"));
    connect(later_, &QPushButton::clicked, this, [this] { choose(Action::later); });
    primary_ = new QPushButton(this);
    primary_->setObjectName(QStringLiteral("updatePrimary"));
    primary_->setDefault(true);
    // Besides installing an offer, the one button does what closing the window does.
    connect(primary_, &QPushButton::clicked, this, [this] {
        if (state_ == State::found)
            choose(Action::install);
        else
            reject();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(skip_);
    buttons->addStretch();
    buttons->addWidget(later_);
    buttons->addWidget(primary_);
    auto* column = new QVBoxLayout;
    column->setSpacing(spacing);
    column->addWidget(title_);
    column->addWidget(message_);
    column->addWidget(progress_);
    column->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(spacing * 2);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addLayout(column);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { render(); });
    render();
}

void UpdateDialog::showChecking()
{
    enter(State::checking);
}

void UpdateDialog::showFound(const QString& version, const QString& installedVersion)
{
    version_ = version;
    installedVersion_ = installedVersion;
    enter(State::found);
}

void UpdateDialog::showDownloading()
{
    received_ = 0;
    expected_ = 0;
    enter(State::downloading);
}

void UpdateDialog::showProgress(qint64 received, qint64 expected)
{
    received_ = received;
    expected_ = expected;
    render();
}

void UpdateDialog::showInstalling()
{
    enter(State::installing);
}

void UpdateDialog::showUpToDate(const QString& installedVersion)
{
    installedVersion_ = installedVersion;
    enter(State::upToDate);
}

void UpdateDialog::showDownloaded(const QString& version, const QString& path)
{
    version_ = version;
    path_ = path;
    enter(State::downloaded);
}

void UpdateDialog::showFailure(Platform::UpdateFailure failure)
{
    failure_ = failure;
    enter(State::failed);
}

QString UpdateDialog::failureMessage(Platform::UpdateFailure failure)
{
    using Platform::UpdateFailure;
    switch (failure) {
    case UpdateFailure::unreachable:
        return text("The update server could not be reached. Check your connection and try again.");
    case UpdateFailure::timedOut:
        return text("The update server did not answer in time. Try again later.");
    case UpdateFailure::insecureAddress:
        return text("The update server sent an address that is not secure, so nothing was downloaded.");
    case UpdateFailure::serverError:
        return text("The update server answered with an error. Try again later.");
    case UpdateFailure::feedTooLarge:
        return text("The update information is too large to be read.");
    case UpdateFailure::malformedFeed:
        return text("The update information could not be read.");
    case UpdateFailure::wrongLength:
        return text("The downloaded update does not have the announced size and was deleted.");
    case UpdateFailure::badSignature:
        return text("The downloaded update is not signed by the developer of Vellora and was deleted.");
    case UpdateFailure::installFailed:
        return text("The update could not be installed.");
    }
    return {};
}

void UpdateDialog::reject()
{
    switch (state_) {
    case State::found:
        choose(Action::later);
        return;
    case State::checking:
    case State::downloading:
        choose(Action::cancel);
        return;
    case State::installing:
        return; // the file is being replaced; the window closes when that is done
    default:
        choose(Action::done);
    }
}

void UpdateDialog::enter(State state)
{
    state_ = state;
    render();
    primary_->setFocus();
    show();
    raise();
    activateWindow();
}

void UpdateDialog::choose(Action action)
{
    // Installing goes on in this window.
    if (action != Action::install)
        hide();
    emit actionChosen(action);
}

void UpdateDialog::render()
{
    setWindowTitle(text("Software Update"));
    const bool busy =
        state_ == State::checking || state_ == State::downloading || state_ == State::installing;
    progress_->setVisible(busy);
    const bool determinate = state_ == State::downloading && expected_ > 0;
    progress_->setRange(0, determinate ? 1000 : 0);
    if (determinate)
        progress_->setValue(int(std::min<qint64>(received_, expected_) * 1000 / expected_));
    skip_->setVisible(state_ == State::found);
    later_->setVisible(state_ == State::found);
    primary_->setVisible(state_ != State::installing);
    skip_->setText(text("Skip This Version"));
    later_->setText(text("Later"));
    const QLocale locale(AppLanguages::rawValue(Localization::shared().resolvedLanguage()));
    switch (state_) {
    case State::checking:
        title_->setText(text("Checking for updates…"));
        message_->clear();
        primary_->setText(text("Cancel"));
        break;
    case State::found:
        title_->setText(text("A new version of Vellora is available!"));
        message_->setText(Localization::format(
            QStringLiteral("Vellora %@ is now available—you have %@. Would you like to install it now?"),
            version_, installedVersion_));
        primary_->setText(text("Install"));
        break;
    case State::downloading:
        title_->setText(text("Downloading update…"));
        message_->setText(expected_ > 0 ? Localization::format(QStringLiteral("%@ of %@"),
                                                               locale.formattedDataSize(received_),
                                                               locale.formattedDataSize(expected_))
                                        : QString());
        primary_->setText(text("Cancel"));
        break;
    case State::installing:
        title_->setText(text("Installing update…"));
        message_->clear();
        break;
    case State::upToDate:
        title_->setText(text("You’re up to date!"));
        message_->setText(Localization::format(
            QStringLiteral("Vellora %@ is currently the newest version available."), installedVersion_));
        primary_->setText(text("OK"));
        break;
    case State::downloaded:
        title_->setText(text("The update has been downloaded and verified."));
        // An AppImage needs no installing: it runs from where it lies.
        message_->setText(Localization::format(
            path_.endsWith(QLatin1String(".AppImage"), Qt::CaseInsensitive)
                ? QStringLiteral("Vellora %@ is in %@, ready to run. Quit Vellora and open that AppImage; "
                                 "then remove the copy you installed before if you no longer need it.")
                : QStringLiteral(
                      "Vellora %@ is in %@. Quit Vellora and install it the way you installed this copy, "
                      "for example with your package manager."),
            version_, path_));
        primary_->setText(text("OK"));
        break;
    case State::failed:
        title_->setText(text("Update Error"));
        message_->setText(failureMessage(failure_));
        primary_->setText(text("OK"));
        break;
    }
    message_->setVisible(!message_->text().isEmpty());
}
