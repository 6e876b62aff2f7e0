#include "Util/NotificationCenter.h"

NotificationCenter& NotificationCenter::shared()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::post(const QString& name, QObject* sender)
{
    emit posted(name, sender);
}

QMetaObject::Connection NotificationCenter::observe(const QString& name, QObject* context,
                                                    std::function<void(QObject* sender)> handler)
{
    return connect(this, &NotificationCenter::posted, context,
                   [name, handler = std::move(handler)](const QString& posted, QObject* sender) {
                       if (posted == name)
                           handler(sender);
                   });
}
