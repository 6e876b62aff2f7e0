#pragma once

#include "fakes/FakeDefaults.h"
#include "fakes/FakeHotKeys.h"
#include "fakes/FakeSystemSound.h"

#include "Hotkey/HotKeyCenter.h"
#include "Platform/SystemSound.h"
#include "Platform/linux/EvdevKeyMap.h"
#include "Settings/Settings.h"
#include "UI/Settings/HotkeyRecorderButton.h"
#include "UI/Settings/HotkeyRecorderView.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

// Stored key codes and Qt modifiers the recorder tests press. On Linux Command is Ctrl,
// Option is Alt and Control is Meta.
namespace RecorderKeys {
constexpr int a = 0, v = 9, b = 11, l = 37, k = 40, leftBracket = 33, returnKey = 36, tab = 48, space = 49,
              deleteKey = 51, escape = 53, keypadEnter = 76, f5 = 96, forwardDelete = 117;
constexpr Qt::KeyboardModifiers command = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers option = Qt::AltModifier;
constexpr Qt::KeyboardModifiers control = Qt::MetaModifier;
constexpr Qt::KeyboardModifiers shift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers none = Qt::NoModifier;
} // namespace RecorderKeys

struct RecorderKey {
    int keyCode;
    Qt::Key qtKey;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// A recorder in a dialog beside a line edit, over preferences in memory and hot keys that
// the fake desktop grants unless told otherwise.
class HotkeyRecorderFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::setSystemSoundForTesting(&sound);
        center.connectSettings();
        center.start();
        host = std::make_unique<QDialog>();
        auto* layout = new QVBoxLayout(host.get());
        recorder = new HotkeyRecorderView(settings, host.get());
        lineEdit = new QLineEdit(host.get());
        layout->addWidget(recorder);
        layout->addWidget(lineEdit);
        host->show();
        host->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    }

    void TearDown() override
    {
        host.reset();
        Platform::setSystemSoundForTesting(nullptr);
    }

    void startRecording(HotkeyRecorderView::Target target)
    {
        recorder->setTarget(target);
        recorder->start();
        ASSERT_TRUE(recorder->isRecording());
        ASSERT_EQ(recorder->focusedControl(), HotkeyRecorderView::Control::recorder);
    }

    // A key press as the X server delivers it: with the key's scan code. Sent to the focus
    // widget, or to `receiver`. True when someone consumed it.
    bool press(const RecorderKey& key, QObject* receiver = nullptr, bool autoRepeat = false)
    {
        const std::optional<quint8> x11 = Platform::EvdevKeyMap::x11KeyCode(key.keyCode);
        QKeyEvent event(QEvent::KeyPress, key.qtKey, key.modifiers, x11.value_or(0), 0, 0, QString(),
                        autoRepeat);
        QObject* target = receiver ? receiver : QApplication::focusWidget();
        return QApplication::sendEvent(target ? target : recorder, &event);
    }

    FakeDefaults defaults;
    Settings settings{defaults};
    FakeHotKeys hotKeys;
    HotKeyCenter center{hotKeys, settings};
    FakeSystemSound sound;
    std::unique_ptr<QDialog> host;
    HotkeyRecorderView* recorder = nullptr;
    QLineEdit* lineEdit = nullptr;
};
