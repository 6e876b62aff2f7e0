#include "RawSelectionOwner.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

constexpr int helperLifetimeMs = 30000;

void say(const QString& line)
{
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// Shows a window, as the programs people copy from do, puts text and an optional marker type
// on the clipboard and keeps serving it.
void ownClipboard()
{
    QLabel window(QStringLiteral("Copy source"));
    window.show();
    auto* data = new QMimeData;
    data->setText(qEnvironmentVariable("VELLORA_TEST_HELPER_TEXT"));
    const QString markerType = qEnvironmentVariable("VELLORA_TEST_HELPER_MARKER_TYPE");
    if (!markerType.isEmpty())
        data->setData(markerType, qgetenv("VELLORA_TEST_HELPER_MARKER_VALUE"));
    QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    say(QStringLiteral("ready"));
    QTimer::singleShot(helperLifetimeMs, qApp, &QCoreApplication::quit);
    QApplication::exec();
}

// A focused text field; prints what is pasted into it and ends.
void receivePaste()
{
    QLineEdit field;
    field.setWindowTitle(QStringLiteral("Paste target"));
    field.resize(400, 40);
    QObject::connect(&field, &QLineEdit::textChanged, [](const QString& text) {
        say(QStringLiteral("text:") + text);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    field.show();
    field.raise();
    field.activateWindow();
    field.setFocus();
    QTimer::singleShot(0, [&field] {
        if (field.isActiveWindow())
            say(QStringLiteral("ready"));
    });
    QObject::connect(qApp, &QApplication::focusChanged, [&field] {
        if (field.hasFocus())
            say(QStringLiteral("ready"));
    });
    QTimer::singleShot(helperLifetimeMs, qApp, &QCoreApplication::quit);
    QApplication::exec();
}

// Owns the clipboard straight on xcb: serves a numbered text of VELLORA_TEST_HELPER_BYTES
// bytes, or, as a hung program does, never answers.
void ownClipboardRaw(bool answers)
{
    RawSelectionOwner owner(
        RawSelectionOwner::numberedText(qEnvironmentVariableIntValue("VELLORA_TEST_HELPER_BYTES")), answers);
    owner.serve(helperLifetimeMs, say);
}

} // namespace

// Not a test: the role this program plays when a test starts it as another X client.
TEST(HelperRole, DISABLED_Run)
{
    const QString role = qEnvironmentVariable("VELLORA_TEST_HELPER_ROLE");
    if (role == QLatin1String("owner"))
        ownClipboard();
    else if (role == QLatin1String("target"))
        receivePaste();
    else if (role == QLatin1String("raw owner") || role == QLatin1String("hung owner"))
        ownClipboardRaw(role == QLatin1String("raw owner"));
    else
        GTEST_SKIP() << "started without a helper role";
}
