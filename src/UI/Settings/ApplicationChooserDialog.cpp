#include "UI/Settings/ApplicationChooserDialog.h"

#include "Platform/Bundle.h"
#include "UI/VelloraTypography.h"
#include "Util/AppIconProvider.h"
#include "Util/Localization.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int iconSize = 24;
constexpr int minimumListWidth = 360;
constexpr int minimumListHeight = 320;
constexpr int itemSpacing = 10;

bool nameOrder(const Platform::ApplicationInfo& a, const Platform::ApplicationInfo& b)
{
    const int byName = QString::localeAwareCompare(a.name.toCaseFolded(), b.name.toCaseFolded());
    return byName != 0 ? byName < 0 : a.bundleIdentifier < b.bundleIdentifier;
}

} // namespace

ApplicationChooserDialog::ApplicationChooserDialog(QList<Platform::ApplicationInfo> applications,
                                                   QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(Localization::string(QStringLiteral("Exclude Apps from Vellora")));
    setWindowModality(Qt::WindowModal);

    message_ = new QLabel(
        Localization::string(QStringLiteral("Vellora will ignore copied content from the apps you choose.")),
        this);
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setFont(VelloraTypography::body());

    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("applicationSearch"));
    search_->setPlaceholderText(Localization::string(QStringLiteral("Search applications")));
    search_->setClearButtonEnabled(true);
    connect(search_, &QLineEdit::textChanged, this, &ApplicationChooserDialog::applyFilter);
    search_->installEventFilter(this);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("applicationList"));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setIconSize(QSize(iconSize, iconSize));
    list_->setUniformItemSizes(true);
    list_->setMinimumSize(minimumListWidth, minimumListHeight);
    connect(list_, &QListWidget::itemSelectionChanged, this, &ApplicationChooserDialog::refreshAddButton);
    list_->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(this);
    add_ = buttons->addButton(Localization::string(QStringLiteral("Add Apps")), QDialogButtonBox::AcceptRole);
    add_->setObjectName(QStringLiteral("applicationAdd"));
    add_->setDefault(true);
    buttons->addButton(Localization::string(QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(itemSpacing);
    layout->addWidget(message_);
    layout->addWidget(search_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);

    fill(applications);
    refreshAddButton();
}

bool ApplicationChooserDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Down leaves the search for the first application shown.
    if (watched == search_ && key == Qt::Key_Down) {
        for (int row = 0; row < list_->count(); ++row) {
            if (!list_->item(row)->isHidden()) {
                list_->setCurrentItem(list_->item(row), QItemSelectionModel::NoUpdate);
                list_->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
        return false;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && list_->selectedItems().isEmpty())
        return chooseFromKeyboard();
    return QDialog::eventFilter(watched, event);
}

bool ApplicationChooserDialog::chooseFromKeyboard()
{
    QListWidgetItem* chosen = list_->hasFocus() ? list_->currentItem() : nullptr;
    if (!chosen || chosen->isHidden()) {
        chosen = nullptr;
        for (int row = 0; row < list_->count(); ++row) {
            if (list_->item(row)->isHidden())
                continue;
            if (chosen)
                return false; // several shown: the user picks one
            chosen = list_->item(row);
        }
    }
    if (!chosen)
        return false;
    chosen->setSelected(true);
    accept();
    return true;
}

QList<Platform::ApplicationInfo> ApplicationChooserDialog::availableApplications(const QList<ClipItem>& clips)
{
    Platform::Workspace& workspace = Platform::workspace();
    const Platform::Bundle& own = Platform::mainBundle();
    QList<Platform::ApplicationInfo> applications;
    QSet<QString> listed;
    const auto offer = [&](const QString& identifier, const QString& name, const QString& iconName,
                           bool installed) {
        if (identifier.isEmpty() || listed.contains(identifier) || own.isOwnApplication(identifier))
            return;
        listed.insert(identifier);
        applications.append({identifier, name.isEmpty() ? identifier : name, iconName, installed});
    };
    // First the names the cards use: a running application's, then a clip's own.
    for (const Platform::RunningApplication& running : workspace.runningApplications())
        offer(running.bundleIdentifier, running.localizedName, running.iconName, running.hasDesktopEntry);
    for (const ClipItem& clip : clips) {
        const QString identifier = clip.sourceBundleID.value_or(QString());
        if (identifier.isEmpty() || listed.contains(identifier))
            continue;
        const Platform::ApplicationInfo info = workspace.applicationInfo(identifier);
        offer(identifier, clip.sourceAppName.value_or(info.name), info.iconName, info.installed);
    }
    for (const Platform::ApplicationInfo& installed : workspace.installedApplications())
        offer(installed.bundleIdentifier, installed.name, installed.iconName, true);
    std::sort(applications.begin(), applications.end(), nameOrder);
    return applications;
}

QStringList ApplicationChooserDialog::chooseApplications(QWidget* parent, const QList<ClipItem>& clips)
{
    ApplicationChooserDialog dialog(availableApplications(clips), parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosenIdentifiers();
}

QStringList ApplicationChooserDialog::chosenIdentifiers() const
{
    QStringList identifiers;
    for (int row = 0; row < list_->count(); ++row) {
        const QListWidgetItem* item = list_->item(row);
        if (item->isSelected())
            identifiers.append(item->data(Qt::UserRole).toString());
    }
    return identifiers;
}

void ApplicationChooserDialog::fill(const QList<Platform::ApplicationInfo>& applications)
{
    for (const Platform::ApplicationInfo& application : applications) {
        auto* item = new QListWidgetItem(
            AppIconProvider::icon(application.bundleIdentifier),
            application.name.isEmpty() ? application.bundleIdentifier : application.name, list_);
        item->setData(Qt::UserRole, application.bundleIdentifier);
        item->setToolTip(application.bundleIdentifier);
    }
}

void ApplicationChooserDialog::applyFilter(const QString& text)
{
    const QString needle = text.trimmed();
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        const bool matches = needle.isEmpty() || item->text().contains(needle, Qt::CaseInsensitive) ||
                             item->data(Qt::UserRole).toString().contains(needle, Qt::CaseInsensitive);
        item->setHidden(!matches);
    }
}

void ApplicationChooserDialog::refreshAddButton()
{
    add_->setEnabled(!list_->selectedItems().isEmpty());
}
