#include "UI/Settings/ModelRowView.h"

#include "UI/ContinuousCorners.h"
#include "UI/Settings/ModelSettingsView.h"
#include "UI/Settings/SettingsSwitch.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int topLineSpacing = 10;
constexpr int nameBlockSpacing = 3;
constexpr int choiceLineSpacing = 16;
constexpr int choiceLineLeadingPadding = 40;
constexpr int columnSpacing = 5;
constexpr int iconFrame = 30;
constexpr int iconSize = 14;
constexpr qreal iconCornerRadius = 8;
constexpr qreal iconFillOpacity = 0.04;
constexpr int actionsMenuWidth = 24;

// The model's mark: the same glyph for every model, on a faint rounded square.
class ModelIcon final : public QWidget {
public:
    explicit ModelIcon(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(iconFrame, iconFrame);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor fill = Theme::chromeTextPrimary();
        fill.setAlphaF(iconFillOpacity);
        painter.fillPath(continuousRoundedRect(QRectF(rect()), iconCornerRadius), fill);
        const QPixmap glyph = Symbols::pixmap(QStringLiteral("sparkle"), Theme::chromeTextSecondary(),
                                              iconSize, devicePixelRatioF());
        const QPoint origin((width() - iconSize) / 2, (height() - iconSize) / 2);
        painter.drawPixmap(QRect(origin, QSize(iconSize, iconSize)), glyph);
    }
};

QLabel* textLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(false);
    return label;
}

QLabel* secondaryLabel(const QString& text, QWidget* parent)
{
    QLabel* label = textLabel(text, VelloraTypography::caption(), parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Theme::chromeTextSecondary());
    label->setPalette(palette);
    return label;
}

QString thinkingItemTitle(ThinkingMode mode)
{
    switch (mode) {
    case ThinkingMode::serviceDefault:
        return Localization::string(QStringLiteral("Service default"));
    case ThinkingMode::enabled:
        return Localization::string(QStringLiteral("On"));
    case ThinkingMode::disabled:
        return Localization::string(QStringLiteral("Off"));
    }
    return {};
}

QString defaultLabel()
{
    return Localization::string(QStringLiteral("Default"));
}

QString thinkingLabel(ThinkingMode mode)
{
    return mode == ThinkingMode::serviceDefault ? defaultLabel() : thinkingItemTitle(mode);
}

QString effortLabel(ReasoningEffort effort)
{
    return effort == ReasoningEffort::serviceDefault ? defaultLabel() : ReasoningEfforts::title(effort);
}

// A bordered button whose label fills its width, leading-aligned, on one line.
QPushButton* compactChoice(const QString& title, QWidget* parent)
{
    auto* button = new QPushButton(title, parent);
    button->setFont(VelloraTypography::control());
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setStyleSheet(QStringLiteral("text-align: left;"));
    return button;
}

} // namespace

const QList<qint64>& ModelRowView::contextSizes()
{
    static const QList<qint64> sizes{8192, 16384, 32768, 65536, 131072, 262144, 524288, 1048576};
    return sizes;
}

ModelRowView::ModelRowView(const SavedModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(lineSpacing);
    layout->addWidget(makeTopLine());
    layout->addWidget(makeChoiceLine());
}

QWidget* ModelRowView::makeTopLine()
{
    auto* line = new QWidget(this);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(topLineSpacing);
    layout->addWidget(new ModelIcon(line), 0, Qt::AlignVCenter);

    auto* nameBlock = new QVBoxLayout;
    nameBlock->setSpacing(nameBlockSpacing);
    nameBlock->addWidget(textLabel(model_.configuration.model, VelloraTypography::title(), line));
    nameBlock->addWidget(secondaryLabel(ModelProviders::title(model_.configuration.provider), line));
    layout->addLayout(nameBlock, 1);

    const QString enabledTitle = Localization::string(QStringLiteral("Enabled"));
    enabledSwitch_ = new SettingsSwitch(line);
    enabledSwitch_->setText(enabledTitle);
    enabledSwitch_->setAccessibleName(enabledTitle);
    enabledSwitch_->setToolTip(enabledTitle);
    enabledSwitch_->setChecked(model_.isEnabled);
    connect(enabledSwitch_, &QAbstractButton::clicked, this,
            [this](bool on) { requestChange([on](SavedModel& model) { model.isEnabled = on; }); });
    layout->addWidget(enabledSwitch_, 0, Qt::AlignVCenter);

    actionsButton_ = new VelloraIconButton(QStringLiteral("ellipsis"), {}, line);
    actionsButton_->setFixedWidth(actionsMenuWidth);
    actionsButton_->setToolTip(Localization::string(QStringLiteral("Model actions")));
    actionsButton_->setAccessibleName(actionsButton_->toolTip());
    auto* actions = new QMenu(actionsButton_);
    connect(actions->addAction(Localization::string(QStringLiteral("Edit Model"))), &QAction::triggered, this,
            [this] { emit editorRequested(model_, false); });
    connect(actions->addAction(Localization::string(QStringLiteral("More options"))), &QAction::triggered,
            this, [this] { emit editorRequested(model_, true); });
    actions->addSeparator();
    connect(actions->addAction(Localization::string(QStringLiteral("Remove"))), &QAction::triggered, this,
            [this] { emit removalRequested(model_); });
    actionsButton_->setMenu(actions);
    layout->addWidget(actionsButton_, 0, Qt::AlignVCenter);
    return line;
}

QWidget* ModelRowView::makeChoiceLine()
{
    auto* line = new QWidget(this);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(choiceLineLeadingPadding, 0, 0, 0);
    layout->setSpacing(choiceLineSpacing);

    thinkingColumn_ = makeColumn(Localization::string(QStringLiteral("Thinking")), makeThinkingMenu());
    effortColumn_ = makeColumn(Localization::string(QStringLiteral("Thinking effort")), makeEffortControl());
    contextColumn_ = makeColumn(Localization::string(QStringLiteral("Context")), makeContextMenu());
    thinkingColumn_->setEnabled(model_.isEnabled);
    effortColumn_->setEnabled(model_.isEnabled && model_.configuration.thinking == ThinkingMode::enabled);
    contextColumn_->setEnabled(model_.isEnabled);
    for (QWidget* column : {thinkingColumn_, effortColumn_, contextColumn_})
        layout->addWidget(column, 1, Qt::AlignTop);
    return line;
}

QWidget* ModelRowView::makeColumn(const QString& caption, QPushButton* control)
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(columnSpacing);
    layout->addWidget(secondaryLabel(caption, column));
    control->setParent(column);
    layout->addWidget(control);
    return column;
}

QPushButton* ModelRowView::makeThinkingMenu()
{
    thinkingButton_ = compactChoice(thinkingLabel(model_.configuration.thinking), this);
    thinkingButton_->setAccessibleName(Localization::string(QStringLiteral("Thinking mode")));
    auto* menu = new QMenu(thinkingButton_);
    for (ThinkingMode mode : ThinkingModes::allCases()) {
        connect(menu->addAction(thinkingItemTitle(mode)), &QAction::triggered, this, [this, mode] {
            requestChange([mode](SavedModel& model) { model.configuration.thinking = mode; });
        });
    }
    thinkingButton_->setMenu(menu);
    return thinkingButton_;
}

QPushButton* ModelRowView::makeEffortControl()
{
    if (model_.configuration.thinkingBudget) {
        effortButton_ = compactChoice(Localization::string(QStringLiteral("Token budget")), this);
        connect(effortButton_, &QPushButton::clicked, this, [this] { emit editorRequested(model_, true); });
        return effortButton_;
    }
    effortButton_ = compactChoice(effortLabel(model_.configuration.reasoningEffort), this);
    effortButton_->setAccessibleName(Localization::string(QStringLiteral("Thinking effort")));
    auto* menu = new QMenu(effortButton_);
    for (ReasoningEffort effort : ReasoningEfforts::allCases()) {
        connect(menu->addAction(ReasoningEfforts::title(effort)), &QAction::triggered, this, [this, effort] {
            requestChange([effort](SavedModel& model) { model.configuration.reasoningEffort = effort; });
        });
    }
    effortButton_->setMenu(menu);
    return effortButton_;
}

QPushButton* ModelRowView::makeContextMenu()
{
    const std::optional<qint64> tokens = model_.configuration.contextTokens;
    contextButton_ = compactChoice(tokens ? ModelSettingsView::contextTitle(*tokens) : defaultLabel(), this);
    contextButton_->setAccessibleName(Localization::string(QStringLiteral("Context")));
    contextButton_->setToolTip(Localization::string(
        QStringLiteral("Local context budget in estimated tokens; the model's actual limit is unchanged.")));
    auto* menu = new QMenu(contextButton_);
    connect(menu->addAction(Localization::string(QStringLiteral("Service default"))), &QAction::triggered,
            this,
            [this] { requestChange([](SavedModel& model) { model.configuration.contextTokens.reset(); }); });
    for (qint64 size : contextSizes()) {
        connect(menu->addAction(ModelSettingsView::contextTitle(size)), &QAction::triggered, this,
                [this, size] {
                    requestChange([size](SavedModel& model) { model.configuration.contextTokens = size; });
                });
    }
    menu->addSeparator();
    connect(menu->addAction(Localization::string(QStringLiteral("Custom…"))), &QAction::triggered, this,
            [this] { emit editorRequested(model_, true); });
    contextButton_->setMenu(menu);
    return contextButton_;
}

void ModelRowView::requestChange(const std::function<void(SavedModel&)>& change)
{
    SavedModel changed = model_;
    change(changed);
    emit changeRequested(changed);
}
