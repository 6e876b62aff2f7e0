#pragma once

#include "AI/ConversationResultAction.h"
#include "Models/ClipItem.h"
#include "Platform/Workspace.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class ClipboardStore;
class ConversationWindowController;
class PasteCoordinator;

// The open conversation windows, each numbered for the status menu in the order opened.
class ConversationWindows final : public QObject {
    Q_OBJECT
public:
    struct Environment {
        const ClipboardStore& store;
        // Copies, pastes back or saves an answer; reached weakly by each window.
        PasteCoordinator& paste;
        // Says why the materials can't be taken.
        std::function<void(const QString& message, const QString& informativeText)> showAlert;
        // Runs before a window opens; gives where its answers are pasted back.
        std::function<std::optional<Platform::RunningApplication>()> prepareForWindow;
        // Set up a new window before it shows.
        std::function<void(ConversationWindowController& window)> configure;
        // After a window opened or closed.
        std::function<void()> changed;
    };

    explicit ConversationWindows(Environment environment, QObject* parent = nullptr);
    ~ConversationWindows() override;

    // Opens a window on the clips' materials; an alert titled "Materials Not Ready" instead
    // when they can't be taken.
    void open(const QList<ClipItem>& items);
    // The windows that are not closed, oldest first.
    QList<ConversationWindowController*> openWindows() const;
    void closeAll();

private:
    void dropClosed();

    Environment env_;
    QList<QPointer<ConversationWindowController>> windows_;
    int nextNumber_ = 1;
};
