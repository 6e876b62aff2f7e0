#pragma once

#include "AI/ConversationDraft.h"
#include "AI/ConversationResultAction.h"

#include <QObject>
#include <functional>
#include <memory>

class QListWidget;
class QLabel;
class QWidget;

// A conversation window on a draft. Until the conversation itself is built here it lists
// the draft's materials: each clip's title and source application, with a thumbnail for
// images. A closed window is not shown again.
class AIDraftWindow final : public QObject {
    Q_OBJECT
public:
    // Carries out an answer's action (copy, paste back, save); the completion runs once.
    using ResultHandler = std::function<void(ConversationResultAction action, const QString& answer,
                                             std::function<void(bool)> completion)>;

    AIDraftWindow(ConversationDraft draft, int number, ResultHandler onResultAction,
                  QObject* parent = nullptr);
    ~AIDraftWindow() override;

    const ConversationDraft& draft() const { return draft_; }
    // The window's number in the status menu's "Conversation %d".
    int number() const { return number_; }
    bool isClosed() const { return closed_; }
    // Runs once, when the window closes.
    std::function<void()> onClose;

    // Shows the window in front with the keyboard focus; nothing once closed.
    void show();
    void close();
    // Hands an answer's action to the handler given at creation.
    void performResultAction(ConversationResultAction action, const QString& answer,
                             std::function<void(bool)> completion);

    QWidget* window() const;
    // The rows of the materials list, as shown.
    QStringList materialRows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshLocalizedContent();

    ConversationDraft draft_;
    int number_;
    ResultHandler onResultAction_;
    bool closed_ = false;
    std::unique_ptr<QWidget> window_;
    QLabel* heading_ = nullptr;
    QListWidget* materials_ = nullptr;
};
