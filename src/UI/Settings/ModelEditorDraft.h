#pragma once

#include "AI/SavedModel.h"

#include <QUuid>

// One presentation of the model editor: a new id each time, so that presenting the same
// model twice opens a fresh editor.
struct ModelEditorDraft {
    QUuid id;
    SavedModel model;
    bool isNew = false;
    bool showOptions = false;

    static ModelEditorDraft make(const SavedModel& model, bool isNew, bool showOptions)
    {
        return ModelEditorDraft{QUuid::createUuid(), model, isNew, showOptions};
    }

    bool operator==(const ModelEditorDraft&) const = default;
};
