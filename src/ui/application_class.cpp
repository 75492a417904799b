#include "application_class.h"

#include <QApplication>
#include <QWidget>

#include <exception>
#include <utility>

ApplicationClass::ApplicationClass(WindowFactory factory)
    : createWindow(std::move(factory))
{
}

ApplicationClass::~ApplicationClass() = default;

int ApplicationClass::run()
{
    if (!StartEvent())
        return -1;
    const int code = RunEvent();
    EndEvent();
    return code;
}

bool ApplicationClass::StartEvent()
{
    // Widgets report a failed construction only by throwing (out of memory); nothing is shown
    // then and the program ends.
    try {
        window = createWindow ? createWindow() : nullptr;
    } catch (const std::exception&) {
        window.reset();
    }
    return window != nullptr;
}

int ApplicationClass::RunEvent()
{
    window->show();
    return QApplication::exec();
}

void ApplicationClass::EndEvent()
{
    window.reset();
}
