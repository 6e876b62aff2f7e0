#pragma once

#include "Platform/HotKeys.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <utility>

// Hot keys in memory: combinations listed in `taken` (or all while `refuseAll`) are refused
// as if another program held them; press() plays a press of a registered combination.
class FakeHotKeys final : public Platform::HotKeys {
public:
    using Combination = std::pair<int, int>;

    std::optional<Id> registerHotKey(int keyCode, int modifiers) override
    {
        attempts.append({keyCode, modifiers});
        if (refuseAll || taken.contains({keyCode, modifiers}))
            return std::nullopt;
        const Id id = nextId++;
        registered.insert(id, {keyCode, modifiers});
        return id;
    }
    void unregisterHotKey(Id id) override
    {
        registered.remove(id);
        ++unregistrations;
    }

    // False when the combination is not registered.
    bool press(int keyCode, int modifiers)
    {
        for (auto it = registered.cbegin(); it != registered.cend(); ++it) {
            if (it.value() == Combination{keyCode, modifiers}) {
                emit pressed(it.key());
                return true;
            }
        }
        return false;
    }
    QList<Combination> registeredCombinations() const { return registered.values(); }

    QSet<Combination> taken;
    bool refuseAll = false;
    QHash<Id, Combination> registered;
    QList<Combination> attempts;
    int unregistrations = 0;
    Id nextId = 1;
};
