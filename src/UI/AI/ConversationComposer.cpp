#include "UI/AI/ConversationComposer.h"

#include "AI/AIModelSettings.h"
#include "AI/AISharingConsentStore.h"
#include "AI/ConversationSession.h"
#include "AI/ModelError.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/ConversationModelMenuButton.h"
#include "UI/AI/DraftQuestionEditor.h"
#include "UI/Appearance.h"
#include "UI/ContinuousCorners.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/WithoutMnemonics.h"
#include "Util/AppLanguage.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QAbstractButton>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr qreal cardCornerRadius = 18;
constexpr qreal shadowBlur = 18;
constexpr qreal shadowOffsetY = 6;
constexpr qreal shadowOpacity = 0.04;
constexpr qreal focusedBorderOpacity = 0.7;
constexpr qreal borderOpacity = 0.8;
constexpr int editorSideInset = 20;
constexpr int editorTopInset = 17;
constexpr int editorHeight = 110;
constexpr int rowSpacing = 6;
constexpr int rowSideInset = 20;
constexpr int rowTopInset = 4;
constexpr int rowBottomInset = 16;
constexpr int dotSize = 4;
constexpr qreal dotOpacity = 0.6;
constexpr int menuPixelSize = 11;
constexpr int sendButtonSize = 34;
constexpr int sendSymbolSize = 14;
constexpr qreal sendBorderOpacity = 0.5;

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(opacity);
    return color;
}

// The small dot before the model menu.
class ModelDot final : public QWidget {
public:
    explicit ModelDot(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(dotSize, dotSize);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(withOpacity(Theme::chromeTextTertiary(), dotOpacity));
        painter.drawEllipse(rect());
    }
};

// The round send / stop button showing one symbol.
class SendButton final : public QAbstractButton {
public:
    explicit SendButton(QWidget* parent)
        : QAbstractButton(parent)
    {
        setFixedSize(sendButtonSize, sendButtonSize);
        setCursor(Qt::PointingHandCursor);
        // A click leaves the keyboard in the question editor.
        setFocusPolicy(Qt::NoFocus);
    }

    QString symbol;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        if (!isEnabled())
            painter.setOpacity(0.4);
        const QRectF circle = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setBrush(QColor(Theme::pillBG()));
        painter.setPen(QPen(withOpacity(Theme::cardBorder(), sendBorderOpacity), 1));
        painter.drawEllipse(circle);
        const QPixmap glyph =
            Symbols::pixmap(symbol, Theme::chromeTextSecondary(), sendSymbolSize, devicePixelRatioF());
        const QRect target((width() - sendSymbolSize) / 2, (height() - sendSymbolSize) / 2, sendSymbolSize,
                           sendSymbolSize);
        painter.drawPixmap(target, glyph);
    }
};

} // namespace

ConversationComposer::ConversationComposer(ConversationDraftView& view, QWidget* parent)
    : QWidget(parent)
    , view_(view)
    , showModelSettings_([&view] { view.showModelSettings(); })
{
    setMaximumWidth(maximumCardWidth);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    build();
    refresh();
    rebuildModelMenu();

    ConversationSession& session = view_.session();
    connect(&session, &ConversationSession::isSendingChanged, this, &ConversationComposer::refresh);
    connect(&view_.modelSettings(), &AIModelSettings::libraryChanged, this, [this] {
        refresh();
        rebuildModelMenu();
    });
    connect(&view_, &ConversationDraftView::questionChanged, this, &ConversationComposer::refresh);
    connect(&view_, &ConversationDraftView::inputFocusedChanged, this, [this] { update(); });
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refresh(); });
    connect(&Appearance::shared(), &Appearance::changed, this, &ConversationComposer::applyTheme);
}

void ConversationComposer::setShowModelSettings(std::function<void()> handler)
{
    showModelSettings_ = std::move(handler);
}

void ConversationComposer::build()
{
    auto* card = new QVBoxLayout(this);
    card->setContentsMargins(0, 0, 0, 0);
    card->setSpacing(0);

    editor_ = view_.makeQuestionEditor(this);
    editor_->setFixedHeight(editorHeight);
    auto* editorBox = new QVBoxLayout;
    editorBox->setContentsMargins(editorSideInset, editorTopInset, editorSideInset, 0);
    editorBox->addWidget(editor_);
    card->addLayout(editorBox);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(rowSideInset, rowTopInset, rowSideInset, rowBottomInset);
    row->setSpacing(rowSpacing);
    row->addWidget(new ModelDot(this), 0, Qt::AlignVCenter);

    modelMenu_ = new ConversationModelMenuButton(this);
    QFont menuFont = modelMenu_->font();
    menuFont.setPixelSize(menuPixelSize);
    modelMenu_->setFont(menuFont);
    menu_ = new QMenu(modelMenu_);
    connect(menu_, &QMenu::aboutToShow, this, &ConversationComposer::rebuildModelMenu);
    modelMenu_->setMenu(menu_);
    row->addWidget(modelMenu_);
    row->addStretch(1);

    auto* send = new SendButton(this);
    connect(send, &QAbstractButton::clicked, this, &ConversationComposer::sendOrStop);
    sendButton_ = send;
    row->addWidget(send);
    card->addLayout(row);

    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setBlurRadius(shadowBlur);
    shadow->setOffset(0, shadowOffsetY);
    setGraphicsEffect(shadow);
    applyTheme();
}

void ConversationComposer::applyTheme()
{
    QPalette palette = modelMenu_->palette();
    palette.setColor(QPalette::ButtonText, Theme::chromeTextTertiary());
    modelMenu_->setPalette(palette);
    static_cast<QGraphicsDropShadowEffect*>(graphicsEffect())
        ->setColor(withOpacity(Theme::chromeTextPrimary(), shadowOpacity));
    update();
}

bool ConversationComposer::isSendDisabled() const
{
    if (view_.session().isSending())
        return false;
    if (!view_.modelSettings().isConfigured())
        return true;
    return view_.question().trimmed().isEmpty();
}

QString ConversationComposer::modelLabel() const
{
    const AIModelSettings& settings = view_.modelSettings();
    if (settings.isConfigured())
        return settings.configuration().model;
    return Localization::string(QStringLiteral("Configure Model"));
}

void ConversationComposer::refresh()
{
    const bool sending = view_.session().isSending();
    auto* send = static_cast<SendButton*>(sendButton_);
    send->symbol = sending ? QStringLiteral("stop.fill") : QStringLiteral("arrow.up");
    send->setEnabled(!isSendDisabled());
    const QString idleTip = Localization::string(
        QStringLiteral("Send the question and selected materials to your configured model."));
    const QString stop = Localization::string(QStringLiteral("Stop Response"));
    send->setAccessibleName(sending ? stop : Localization::string(QStringLiteral("Send Question")));
    send->setToolTip(sending ? stop : idleTip);
    send->update();

    modelMenu_->setEnabled(!sending);
    modelMenu_->setText(withoutMnemonics(modelLabel()));
    modelMenu_->setToolTip(Localization::string(QStringLiteral("Use model")));
    editor_->setLocale(QLocale(AppLanguages::rawValue(Localization::shared().resolvedLanguage())));
}

void ConversationComposer::rebuildModelMenu()
{
    menu_->clear();
    const ModelLibrary& library = view_.modelSettings().library();
    const std::optional<SavedModel> active = library.activeModel();
    for (const SavedModel& model : library.enabledModels()) {
        QAction* action = menu_->addAction(withoutMnemonics(model.configuration.model));
        if (active && active->id == model.id)
            action->setIcon(Symbols::icon(QStringLiteral("checkmark"), Theme::chromeTextPrimary(), 16));
        action->setData(model.id);
        const QUuid id = model.id;
        connect(action, &QAction::triggered, this, [this, id] { selectModel(id); });
    }
    menu_->addSeparator();
    QAction* settings =
        menu_->addAction(withoutMnemonics(Localization::string(QStringLiteral("Model Settings"))));
    connect(settings, &QAction::triggered, this, [this] {
        if (showModelSettings_)
            showModelSettings_();
    });
}

void ConversationComposer::selectModel(const QUuid& id)
{
    ModelLibrary library = view_.modelSettings().library();
    try {
        library.select(id);
    } catch (const ModelError&) {
        return; // no longer an enabled model: ignored without a message
    }
    view_.modelSettings().commit(library);
}

void ConversationComposer::sendOrStop()
{
    ConversationSession& session = view_.session();
    if (session.isSending()) {
        session.cancel();
        return;
    }
    const std::optional<ConversationSendRequest> request = session.prepareSend(view_.question());
    if (!request)
        return;
    if (session.consentStore().isAllowed(request->scope)) {
        send(*request);
        return;
    }
    view_.setSharingRequest(request);
}

void ConversationComposer::cancelSharing()
{
    view_.setSharingRequest(std::nullopt);
}

void ConversationComposer::approveSharing(const ConversationSendRequest& request)
{
    ConversationSession& session = view_.session();
    if (request.conversationID == session.conversationID() &&
        request.generation == session.requestGeneration())
        session.consentStore().approve(request.scope);
    view_.setSharingRequest(std::nullopt);
    send(request);
}

void ConversationComposer::send(const ConversationSendRequest& request)
{
    QPointer<ConversationDraftView> view(&view_);
    QPointer<DraftQuestionEditor> editor(editor_);
    view_.session().send(request, [view, editor, sent = request.question](bool answered) {
        if (!view || !answered)
            return;
        if (view->question().trimmed() == sent)
            view->setQuestion(QString());
        // The transcript was rebuilt under the keyboard: typing goes on in the editor.
        if (editor)
            editor->setFocus(Qt::OtherFocusReason);
    });
}

void ConversationComposer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath card =
        continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cardCornerRadius);
    painter.fillPath(card, QColor(Theme::cardBody()));
    const QColor border = view_.inputFocused() ? withOpacity(Theme::selection(), focusedBorderOpacity)
                                               : withOpacity(Theme::cardBorder(), borderOpacity);
    painter.setPen(QPen(border, 1));
    painter.drawPath(card);
}
