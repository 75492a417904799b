#include "startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::system_clock;

const Clock::time_point loadedAt = Clock::now();

Clock::time_point launchTime()
{
    const char* text = std::getenv("QUORIX_LAUNCH_NS");
    if (!text || !*text)
        return loadedAt;
    const std::chrono::nanoseconds sinceEpoch(std::strtoll(text, nullptr, 10));
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(sinceEpoch));
}

void report()
{
    const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - launchTime());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("shown_ms=%.1f maxrss_kb=%ld\n", elapsed.count(), usage.ru_maxrss);
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

// Waits for the first expose of the window; the expose handler draws the window, so the report
// is queued behind it.
class ExposeWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && !reported) {
            reported = true;
            QTimer::singleShot(0, this, &report);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported = false;
};

}  // namespace

void exitWhenShownIfAsked(QWidget& window)
{
    if (qEnvironmentVariableIntValue("QUORIX_EXIT_WHEN_SHOWN") != 1)
        return;
    window.winId();  // creates the native window, so there is one to watch
    window.windowHandle()->installEventFilter(new ExposeWatch(&window));
}
