#pragma once

#include "Platform/KeyEvents.h"

#include <QList>
#include <functional>
#include <utility>

// Records the key strokes it is asked to post.
class FakeKeyEvents final : public Platform::KeyEvents {
public:
    bool postKeyStroke(int keyCode, int modifiers) override
    {
        strokes.append({keyCode, modifiers});
        if (onPost)
            onPost();
        return succeeds;
    }

    QList<std::pair<int, int>> strokes;
    bool succeeds = true;
    std::function<void()> onPost;
};
