#include "UI/AI/ConversationWorkspace.h"

#include "AI/AIModelSettings.h"
#include "AI/ConversationSession.h"
#include "UI/AI/ConversationComposer.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/ConversationTranscript.h"
#include "UI/AI/DraftQuestionEditorBridge.h"
#include "UI/Appearance.h"
#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraMark.h"
#include "UI/VelloraTooltip.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int readingWidth = 620;
// Far above the side spacers' 1, so the centred child grows to its maximum first.
constexpr int readingStretch = 1000;
constexpr int emptyTopMinimum = 36;
constexpr int markSize = 42;
constexpr int markInset = 13;
constexpr qreal tileCornerRadius = 20;
constexpr qreal tileBorderOpacity = 0.5;
constexpr int emptyBelow = 28;
constexpr int errorPixelSize = 11;
constexpr int errorBelow = 10;
constexpr int presetAbove = 14;
constexpr int presetSpacing = 6;
constexpr int presetButtonSize = 32;
constexpr int tallBottomMinimum = 68;
constexpr int shortBottomHeight = 20;

// The 68 × 68 tile behind the logo mark.
class MarkTile final : public QWidget {
public:
    explicit MarkTile(QWidget* parent)
        : QWidget(parent)
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(markInset, markInset, markInset, markInset);
        layout->addWidget(new VelloraMark(markSize, this));
        setFixedSize(markSize + 2 * markInset, markSize + 2 * markInset);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPainterPath tile =
            continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), tileCornerRadius);
        painter.fillPath(tile, QColor(Theme::cardBody()));
        QColor border = Theme::cardBorder();
        border.setAlphaF(tileBorderOpacity);
        painter.setPen(QPen(border, 1));
        painter.drawPath(tile);
    }
};

// Centres a widget that takes the width it is given up to the reading column's.
QWidget* readingColumn(QWidget* child, QWidget* parent)
{
    auto* holder = new QWidget(parent);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    child->setMaximumWidth(readingWidth);
    row->addStretch(1);
    row->addWidget(child, readingStretch);
    row->addStretch(1);
    return holder;
}

QWidget* spacer(QWidget* parent, int minimumHeight, QSizePolicy::Policy policy)
{
    auto* space = new QWidget(parent);
    space->setMinimumHeight(minimumHeight);
    space->setSizePolicy(QSizePolicy::Preferred, policy);
    if (policy == QSizePolicy::Fixed)
        space->setFixedHeight(minimumHeight);
    return space;
}

// A selectable line of small text in the warning colour, above the composer.
QLabel* warningLine(QWidget* parent)
{
    auto* line = new QLabel(parent);
    line->setTextFormat(Qt::PlainText);
    line->setWordWrap(true);
    line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont font = line->font();
    font.setPixelSize(errorPixelSize);
    line->setFont(font);
    const auto colour = [line] {
        QPalette palette = line->palette();
        palette.setColor(QPalette::WindowText, Theme::warning());
        line->setPalette(palette);
    };
    colour();
    QObject::connect(&Appearance::shared(), &Appearance::changed, line, colour);
    line->setContentsMargins(0, 0, 0, errorBelow);
    return line;
}

struct Preset {
    const char* title;
    const char* symbol;
    const char* tooltip;
    const char* prompt;
};

constexpr Preset presets[] = {
    {"Explain", "text.alignleft", "Explain these materials",
     "Explain the issue using these materials and suggest the smallest fix."},
    {"Translate", "character.bubble", "Translate these materials",
     "Translate these materials into Simplified Chinese, preserving technical terms."},
    {"Summarize", "doc.text", "Summarize key points",
     "Summarize these materials, listing key findings and next steps."},
    {"Reply", "arrowshape.turn.up.left", "Draft a reply",
     "Draft a concise, friendly reply based on these materials."},
};

} // namespace

ConversationWorkspace::ConversationWorkspace(ConversationDraftView& view, QWidget* parent)
    : QWidget(parent)
    , view_(view)
{
    build();
    retranslate();
    refresh();
    ConversationSession& session = view_.session();
    connect(&session, &ConversationSession::turnsChanged, this, &ConversationWorkspace::refresh);
    connect(&session, &ConversationSession::isSendingChanged, this, &ConversationWorkspace::refresh);
    connect(&session, &ConversationSession::errorMessageChanged, this, &ConversationWorkspace::refresh);
    connect(&view_.modelSettings(), &AIModelSettings::libraryChanged, this, &ConversationWorkspace::refresh);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
}

void ConversationWorkspace::build()
{
    auto* column = new QVBoxLayout(this);
    // The conversation view pads the column on both sides.
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    transcript_ = new ConversationTranscript(
        view_, [this](ConversationResultAction action, const ChatTurn& turn) { perform(action, turn); },
        this);
    column->addWidget(transcript_, 1);
    emptyState_ = buildEmptyState();
    column->addWidget(emptyState_, 1);

    errorLine_ = warningLine(this);
    column->addWidget(readingColumn(errorLine_, this));
    imageNotice_ = warningLine(this);
    imageNotice_->setObjectName(QStringLiteral("imageNotice"));
    column->addWidget(readingColumn(imageNotice_, this));

    composer_ = new ConversationComposer(view_, this);
    column->addWidget(readingColumn(composer_, this));
    column->addWidget(buildPresetRow());

    tallBottom_ = spacer(this, tallBottomMinimum, QSizePolicy::Expanding);
    column->addWidget(tallBottom_, 1);
    shortBottom_ = spacer(this, shortBottomHeight, QSizePolicy::Fixed);
    column->addWidget(shortBottom_);
}

QWidget* ConversationWorkspace::buildEmptyState()
{
    auto* empty = new QWidget(this);
    auto* layout = new QVBoxLayout(empty);
    layout->setContentsMargins(0, 0, 0, emptyBelow);
    layout->setSpacing(0);
    layout->addWidget(spacer(empty, emptyTopMinimum, QSizePolicy::Expanding), 1);
    layout->addWidget(new MarkTile(empty), 0, Qt::AlignHCenter);
    return empty;
}

QWidget* ConversationWorkspace::buildPresetRow()
{
    auto* rowWidget = new QWidget(this);
    auto* row = new QHBoxLayout(rowWidget);
    row->setContentsMargins(0, presetAbove, 0, 0);
    row->setSpacing(presetSpacing);
    row->addStretch(1);
    for (const Preset& preset : presets) {
        auto* button = new VelloraIconButton(QString::fromLatin1(preset.symbol),
                                             VelloraIconButtonStyle{presetButtonSize, false}, rowWidget);
        connect(button, &QToolButton::clicked, this,
                [this, preset] { applyPreset(Localization::string(QString::fromLatin1(preset.prompt))); });
        row->addWidget(button);
        presetButtons_ << button;
    }
    row->addStretch(1);
    return rowWidget;
}

void ConversationWorkspace::refresh()
{
    const ConversationSession& session = view_.session();
    const bool conversing = !session.turns().isEmpty() || session.isSending();
    transcript_->setVisible(conversing);
    emptyState_->setVisible(!conversing);
    tallBottom_->setVisible(!conversing);
    shortBottom_->setVisible(conversing);
    const std::optional<QString> error = session.errorMessage();
    errorLine_->setText(error.value_or(QString()));
    errorLine_->parentWidget()->setVisible(error.has_value());
    imageNotice_->parentWidget()->setVisible(leavesImagesOut());
}

bool ConversationWorkspace::leavesImagesOut() const
{
    const AIModelSettings& settings = view_.modelSettings();
    if (!settings.isConfigured() || settings.configuration().supportsImages)
        return false;
    const QList<ConversationMaterial>& materials = view_.draft().materials;
    return std::any_of(materials.cbegin(), materials.cend(),
                       [](const ConversationMaterial& m) { return m.imageData && !m.imageData->isEmpty(); });
}

void ConversationWorkspace::retranslate()
{
    imageNotice_->setText(Localization::string(QStringLiteral(
        "This model does not accept images, so image materials are left out of the question.")));
    for (qsizetype i = 0; i < presetButtons_.size(); ++i) {
        const Preset& preset = presets[i];
        presetButtons_.at(i)->setAccessibleName(Localization::string(QString::fromLatin1(preset.title)));
        VelloraTooltip::attach(presetButtons_.at(i),
                               Localization::string(QString::fromLatin1(preset.tooltip)));
    }
}

void ConversationWorkspace::perform(ConversationResultAction action, const ChatTurn& turn)
{
    ConversationResultActionState state = view_.resultActions();
    const bool began = state.begin(action, turn.id, turn.answer);
    view_.setResultActions(state);
    if (!began)
        return;
    QPointer<ConversationDraftView> view(&view_);
    view_.performResultAction(action, turn.answer, [view, action, id = turn.id](bool succeeded) {
        if (!view)
            return;
        ConversationResultActionState finished = view->resultActions();
        finished.finish(action, id, succeeded);
        view->setResultActions(finished);
    });
}

void ConversationWorkspace::applyPreset(const QString& prompt)
{
    view_.setQuestion(prompt);
    view_.editorBridge().focusNow();
}

void ConversationWorkspace::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(Theme::chat()));
}
