#include "UI/Settings/DestructiveConfirmation.h"

#include "Util/Localization.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

namespace {

// Room beside the title for the window manager's icon and buttons.
constexpr int titleBarAllowance = 160;
constexpr int subjectGap = 12;

// Below the subject when the box fits there on the screen, else above it, centred on the window.
QPoint placeBeside(const QSize& box, const QWidget* window, const QWidget* subject)
{
    const QRect around(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QRect value(subject->mapToGlobal(QPoint(0, 0)), subject->size());
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : around;
    const int x = std::clamp(around.center().x() - box.width() / 2, available.left(),
                             std::max(available.left(), available.right() - box.width()));
    int y = value.bottom() + subjectGap;
    if (y + box.height() > available.bottom())
        y = value.top() - subjectGap - box.height();
    return {x, std::max(y, available.top())};
}

} // namespace

QMessageBox* openDestructiveConfirmation(QWidget* window, const QWidget* subject, const QString& title,
                                         const QString& message, const QString& actionTitle, QObject* context,
                                         std::function<void(bool confirmed)> answered)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::NoButton, window);
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(message);
    QPushButton* action = box->addButton(actionTitle, QMessageBox::DestructiveRole);
    QPushButton* cancel =
        box->addButton(Localization::string(QStringLiteral("Cancel")), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setWindowModality(Qt::WindowModal);
    // A message box sizes itself to its texts; a spacer across its grid makes it as wide as the
    // window title needs, so that the window manager does not elide it.
    QFont titleFont = box->font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title) + titleBarAllowance;
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    if (window && subject) {
        box->ensurePolished();
        box->move(placeBeside(box->sizeHint().expandedTo(QSize(titleWidth, 0)), window, subject));
    }
    QObject::connect(box, &QMessageBox::finished, context, [box, action, answered = std::move(answered)] {
        box->deleteLater();
        answered(box->clickedButton() == action);
    });
    box->open();
    return box;
}
