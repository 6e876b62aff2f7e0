// A Qt program that does nothing but show a tray icon, for startup.sh to compare Vellora's
// launch with in the same run: once the icon is shown, prints the wall clock in nanoseconds
// (as Vellora does under VELLORA_BENCH_STARTUP=1) and quits.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {
constexpr int iconSide = 22;
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QPixmap pixmap(iconSide, iconSide);
    pixmap.fill(Qt::darkGray);
    QSystemTrayIcon icon{QIcon(pixmap)};
    icon.show();
    QTimer::singleShot(0, &app, [&icon] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("status_item_clock_ns=%lld status_item_visible=%d\n",
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                    icon.isVisible() && QSystemTrayIcon::isSystemTrayAvailable() ? 1 : 0);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
