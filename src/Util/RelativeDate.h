#pragma once

#include <QDateTime>
#include <QString>

// How long ago something happened, in the words the cards show: "Just now", "5 min ago",
// "3 h ago", "Yesterday", "4 days ago", then the date. Calendar days are local days.
namespace RelativeDate {
QString text(const QDateTime& date, const QDateTime& now);
} // namespace RelativeDate
