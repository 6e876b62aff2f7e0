#include "UI/AI/AIDraftWindow.h"

#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr QSize windowSize(560, 440);
constexpr QSize thumbnailSize(48, 48);
constexpr int textPreviewLength = 160;

QString preview(const ConversationMaterial& material)
{
    if (material.imageData)
        return Localization::string(QStringLiteral("Image"));
    return material.text.value_or(QString()).simplified().left(textPreviewLength);
}

QIcon thumbnail(const ConversationMaterial& material)
{
    if (!material.imageData)
        return {};
    const QImage image = QImage::fromData(*material.imageData);
    if (image.isNull())
        return {};
    return QIcon(
        QPixmap::fromImage(image.scaled(thumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

} // namespace

AIDraftWindow::AIDraftWindow(ConversationDraft draft, int number, ResultHandler onResultAction,
                             QObject* parent)
    : QObject(parent)
    , draft_(std::move(draft))
    , number_(number)
    , onResultAction_(std::move(onResultAction))
    , window_(std::make_unique<QWidget>())
{
    window_->resize(windowSize);
    window_->installEventFilter(this);
    auto* layout = new QVBoxLayout(window_.get());
    heading_ = new QLabel(window_.get());
    heading_->setTextFormat(Qt::PlainText);
    materials_ = new QListWidget(window_.get());
    materials_->setIconSize(thumbnailSize);
    materials_->setWordWrap(true);
    layout->addWidget(heading_);
    layout->addWidget(materials_);
    for (const ConversationMaterial& material : draft_.materials)
        materials_->addItem(new QListWidgetItem(thumbnail(material), QString()));
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshLocalizedContent(); });
    refreshLocalizedContent();
}

AIDraftWindow::~AIDraftWindow()
{
    window_->removeEventFilter(this);
}

void AIDraftWindow::show()
{
    if (closed_)
        return;
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void AIDraftWindow::close()
{
    window_->close();
}

void AIDraftWindow::performResultAction(ConversationResultAction action, const QString& answer,
                                        std::function<void(bool)> completion)
{
    onResultAction_(action, answer, std::move(completion));
}

QWidget* AIDraftWindow::window() const
{
    return window_.get();
}

QStringList AIDraftWindow::materialRows() const
{
    QStringList rows;
    for (int i = 0; i < materials_->count(); ++i)
        rows.append(materials_->item(i)->text());
    return rows;
}

bool AIDraftWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_.get() && event->type() == QEvent::Close && !closed_) {
        closed_ = true;
        if (onClose)
            onClose();
    }
    return QObject::eventFilter(watched, event);
}

void AIDraftWindow::refreshLocalizedContent()
{
    window_->setWindowTitle(Localization::format(QStringLiteral("Conversation %d"), number_));
    heading_->setText(Localization::string(QStringLiteral("Materials")));
    for (qsizetype i = 0; i < draft_.materials.size(); ++i) {
        const ConversationMaterial& material = draft_.materials.at(i);
        const QString source =
            material.source.isEmpty() ? QString() : QStringLiteral(" — ") + material.source;
        materials_->item(int(i))->setText(material.title + source + QLatin1Char('\n') + preview(material));
    }
}
