#include "application_class.h"
#include "gui_messages.h"
#include "quorix.h"
#include "startup_probe.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    GuiMessages messages;
    ApplicationClass program([&messages]() -> std::unique_ptr<QWidget> {
        auto window = std::make_unique<Quorix>(messages);
        exitWhenShownIfAsked(*window);
        return window;
    });
    return program.run();
}
