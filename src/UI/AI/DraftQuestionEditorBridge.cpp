#include "UI/AI/DraftQuestionEditorBridge.h"

#include "UI/AI/DraftQuestionEditor.h"

DraftQuestionEditorBridge::DraftQuestionEditorBridge(QObject* parent)
    : QObject(parent)
{}

DraftQuestionEditor* DraftQuestionEditorBridge::editor() const
{
    return editor_;
}

void DraftQuestionEditorBridge::setEditor(DraftQuestionEditor* editor)
{
    if (editor_ == editor)
        return;
    editor_ = editor;
    requestInitialFocus();
}

void DraftQuestionEditorBridge::requestInitialFocus()
{
    if (!initialFocusPending_)
        return;
    QMetaObject::invokeMethod(this, &DraftQuestionEditorBridge::focusInitiallyIfReady, Qt::QueuedConnection);
}

void DraftQuestionEditorBridge::focusInitiallyIfReady()
{
    if (!initialFocusPending_ || !editor_ || !editor_->isVisible())
        return;
    if (!editor_->window()->isActiveWindow())
        return;
    takeFocus();
}

void DraftQuestionEditorBridge::focusNow()
{
    if (editor_ && editor_->isVisible())
        takeFocus();
}

bool DraftQuestionEditorBridge::takeFocus()
{
    editor_->setFocus(Qt::OtherFocusReason);
    if (editor_->window()->focusWidget() != editor_)
        return false;
    initialFocusPending_ = false;
    return true;
}
