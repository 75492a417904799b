#pragma once

#include <functional>
#include <memory>

class QWidget;

// The program's life on an existing QApplication: create the main window, run the event loop
// until the window has closed, delete the window.
class ApplicationClass {
public:
    using WindowFactory = std::function<std::unique_ptr<QWidget>()>;

    explicit ApplicationClass(WindowFactory createWindow);
    ~ApplicationClass();
    ApplicationClass(const ApplicationClass&) = delete;
    ApplicationClass& operator=(const ApplicationClass&) = delete;

    // The exit code: the event loop's (0 after the window closed), -1 when no window was made.
    int run();

private:
    bool StartEvent();
    int RunEvent();
    void EndEvent();

    WindowFactory createWindow;
    std::unique_ptr<QWidget> window;
};
