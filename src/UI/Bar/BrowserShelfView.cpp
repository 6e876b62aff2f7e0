#include "UI/Bar/BrowserShelfView.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "BrowserLinks/BrowserShelfModel.h"
#include "Platform/BrowserScripting.h"
#include "UI/Bar/BrowserFilterPills.h"
#include "UI/Bar/BrowserPageStripView.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

constexpr int headerMargin = 12;
constexpr int headerSpacing = 12;

QLabel* plainLabel(const QFont& font, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

// The line of one browser's failed read, or none when it did not fail. A browser that is
// simply not running is no failure worth a warning: it just has no pages.
std::optional<QString> errorLine(const BrowserPageResult& result)
{
    if (result.errorCode == Platform::ScriptStatus::notRunning)
        return std::nullopt;
    const QString name = LinkBrowsers::displayName(result.browser);
    if (result.errorMessage && !result.errorMessage->isEmpty())
        return name + QStringLiteral(": ") +
               Localization::string(BrowserPageReader::englishMessage(*result.errorMessage));
    if (result.errorCode)
        return Localization::format(QStringLiteral("%@ could not be read (%lld)."), name, *result.errorCode);
    return std::nullopt;
}

} // namespace

BrowserShelfView::BrowserShelfView(BrowserShelfModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeHeader());

    strip_ = new BrowserPageStripView(model_, this);
    emptyLabel_ = plainLabel(VelloraTypography::title(), Theme::chromeTextSecondary(), this);
    emptyLabel_->setAlignment(Qt::AlignCenter);
    emptyLabel_->setWordWrap(true);
    stack_ = new QStackedLayout;
    stack_->addWidget(strip_);
    stack_->addWidget(emptyLabel_);
    layout->addLayout(stack_, 1);

    connect(strip_, &BrowserPageStripView::cardClicked, this, &BrowserShelfView::cardClicked);
    for (auto changed : {&BrowserShelfModel::resultsChanged, &BrowserShelfModel::isLoadingChanged,
                         &BrowserShelfModel::queryChanged, &BrowserShelfModel::browserChanged})
        connect(&model_, changed, this, &BrowserShelfView::refreshTexts);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshTexts(); });
    refreshTexts();
}

QWidget* BrowserShelfView::makeHeader()
{
    auto* header = new QWidget(this);
    auto* column = new QVBoxLayout(header);
    column->setContentsMargins(headerMargin, headerMargin, headerMargin, 0);
    column->setSpacing(headerSpacing / 2);
    auto* row = new QHBoxLayout;
    row->setSpacing(headerSpacing);
    pills_ = new BrowserFilterPills(model_, header);
    loadingLabel_ = plainLabel(VelloraTypography::caption(), Theme::chromeTextTertiary(), header);
    row->addWidget(pills_);
    row->addWidget(loadingLabel_);
    row->addStretch(1);
    column->addLayout(row);
    errorLabel_ = plainLabel(VelloraTypography::caption(), Theme::warning(), header);
    errorLabel_->setWordWrap(true);
    column->addWidget(errorLabel_);
    return header;
}

QString BrowserShelfView::loadingText() const
{
    return model_.isLoading() ? Localization::string(QStringLiteral("Reading open tabs…")) : QString();
}

QStringList BrowserShelfView::errorLines() const
{
    QStringList lines;
    for (const auto& [browser, result] : model_.results()) {
        if (const std::optional<QString> line = errorLine(result))
            lines.append(*line);
    }
    return lines;
}

bool BrowserShelfView::errorsStandInForThePages() const
{
    return !model_.isLoading() && model_.pages().isEmpty() && model_.query().trimmed().isEmpty() &&
           !errorLines().isEmpty();
}

QString BrowserShelfView::emptyText() const
{
    if (model_.isLoading() || !model_.pages().isEmpty())
        return {};
    if (!model_.query().trimmed().isEmpty())
        return Localization::string(QStringLiteral("No matches"));
    if (errorsStandInForThePages())
        return errorLines().join(u'\n');
    return Localization::string(QStringLiteral("No open web pages"));
}

void BrowserShelfView::refreshTexts()
{
    loadingLabel_->setText(loadingText());
    const QStringList errors = errorLines();
    const bool inPlace = errorsStandInForThePages();
    errorLabel_->setText(errors.join(u'\n'));
    errorLabel_->setVisible(!errors.isEmpty() && !inPlace);
    emptyLabel_->setFont(inPlace ? VelloraTypography::caption() : VelloraTypography::title());
    QPalette palette = emptyLabel_->palette();
    palette.setColor(QPalette::WindowText, inPlace ? Theme::warning() : Theme::chromeTextSecondary());
    emptyLabel_->setPalette(palette);
    emptyLabel_->setText(emptyText());
    stack_->setCurrentWidget(model_.pages().isEmpty() ? static_cast<QWidget*>(emptyLabel_) : strip_);
}

void BrowserShelfView::cardClicked(const BrowserPage& page, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ShiftModifier) {
        model_.select(page.id, true);
        return;
    }
    if (modifiers & Qt::ControlModifier) {
        toggle(page.id);
        return;
    }
    model_.select(page.id, false);
    emit pasteRequested({page});
}

void BrowserShelfView::toggle(const QString& id)
{
    // Only visible pages stay selected, as the model's own operations keep it.
    QSet<QString> ids;
    for (const BrowserPage& page : model_.selectedPages())
        ids.insert(page.id);
    if (!ids.remove(id))
        ids.insert(id);
    model_.setSelectedIDs(ids);
    model_.setFocusedID(id);
}
