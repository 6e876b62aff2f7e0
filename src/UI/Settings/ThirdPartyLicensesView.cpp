#include "UI/Settings/ThirdPartyLicensesView.h"

#include "Platform/Bundle.h"
#include "UI/ScrollBarLook.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <optional>

namespace {

constexpr int sheetWidth = 620;
constexpr int sheetHeight = 480;
constexpr int sheetPadding = 24;
constexpr int partSpacing = 16;
constexpr int titlePixelSize = 15;
constexpr int noticesPixelSize = 12;
constexpr qreal extraLineSpacing = 4;

const QString noticesName = QStringLiteral("ThirdPartyNotices");
const QString noticesExtension = QStringLiteral("txt");

std::optional<QString> readUtf8(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    // Stateless: a sequence cut off at the end is an error, not input still to come.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QFont noticesFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(noticesPixelSize);
    return font;
}

QFont titleFont()
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(titlePixelSize);
    font.setWeight(QFont::Medium);
    return font;
}

} // namespace

ThirdPartyLicensesView::ThirdPartyLicensesView(std::function<void()> onClose, QWidget* parent)
    : QDialog(parent)
    , onClose_(std::move(onClose))
{
    setWindowModality(Qt::WindowModal);
    build();
    retranslate();
    // A reject() of a sheet already dismissed emits rejected again; onClose runs once per showing.
    connect(this, &QDialog::rejected, this, [this] {
        if (!presented_)
            return;
        presented_ = false;
        if (onClose_)
            onClose_();
    });
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
}

QString ThirdPartyLicensesView::license()
{
    const QString path = Platform::mainBundle().resourcePath(noticesName, noticesExtension);
    std::optional<QString> text = path.isEmpty() ? std::nullopt : readUtf8(path);
    if (!text)
        return Localization::string(
            QStringLiteral("The license document is missing from this application bundle."));
    return *text;
}

QString ThirdPartyLicensesView::shownText() const
{
    return text_->toPlainText();
}

void ThirdPartyLicensesView::showEvent(QShowEvent* event)
{
    presented_ = true;
    reloadLicense();
    QDialog::showEvent(event);
}

void ThirdPartyLicensesView::build()
{
    setFixedSize(sheetWidth, sheetHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(sheetPadding, sheetPadding, sheetPadding, sheetPadding);
    layout->setSpacing(partSpacing);

    auto* header = new QHBoxLayout();
    title_ = new QLabel(this);
    title_->setTextFormat(Qt::PlainText);
    title_->setFont(titleFont());
    header->addWidget(title_, 0, Qt::AlignVCenter);
    header->addStretch(1);
    close_ = new QPushButton(this);
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    header->addWidget(close_, 0, Qt::AlignVCenter);
    layout->addLayout(header);

    text_ = new QTextEdit(this);
    text_->setReadOnly(true);
    text_->setAcceptRichText(false);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setFont(noticesFont());
    text_->setFrameShape(QFrame::NoFrame);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBarLook::follow(text_->verticalScrollBar(), Theme::window());
    text_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text_->viewport()->setBackgroundRole(QPalette::Window);
    text_->viewport()->setForegroundRole(QPalette::WindowText);
    layout->addWidget(text_, 1);
}

void ThirdPartyLicensesView::retranslate()
{
    const QString title = Localization::string(QStringLiteral("Third-Party Licenses"));
    setWindowTitle(title);
    title_->setText(title);
    close_->setText(Localization::string(QStringLiteral("Close")));
    if (isVisible())
        reloadLicense();
}

void ThirdPartyLicensesView::reloadLicense()
{
    text_->setPlainText(license());
    QTextBlockFormat spacing;
    spacing.setLineHeight(extraLineSpacing, QTextBlockFormat::LineDistanceHeight);
    QTextCursor cursor(text_->document());
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(spacing);
    text_->moveCursor(QTextCursor::Start);
}
