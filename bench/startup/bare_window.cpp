// The yardstick for the tool's start: a plain main window with the same menu, tool bar, four
// empty tabs and status bar, and nothing behind them.
#include "startup_probe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>

namespace {

void addMenus(QMainWindow& window)
{
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open Quorix configuration file"));
    file->addAction(QStringLiteral("&Save Quorix configuration file"));
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), &window, &QWidget::close);
    window.menuBar()->addMenu(QStringLiteral("&?"))->addAction(QStringLiteral("&About"));
}

void addToolBar(QMainWindow& window)
{
    QToolBar* tools = window.addToolBar(QStringLiteral("tools"));
    tools->setMovable(false);
    tools->setIconSize(QSize(16, 16));
    QStyle* style = window.style();
    tools->addAction(style->standardIcon(QStyle::SP_DialogOpenButton),
                     QStringLiteral("Load thresholds"));
    tools->addAction(style->standardIcon(QStyle::SP_DialogSaveButton),
                     QStringLiteral("Save thresholds"));
    tools->addSeparator();
    tools->addAction(style->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Quit"));
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorix"));
    addMenus(window);
    addToolBar(window);
    auto* tabs = new QTabWidget;
    for (const char* text : {"Properties", "Comparators", "Offset Adjustment", "Error Handling"})
        tabs->addTab(new QWidget, QString::fromLatin1(text));
    window.setCentralWidget(tabs);
    window.statusBar()->setSizeGripEnabled(false);
    exitWhenShownIfAsked(window);
    window.show();
    return application.exec();
}
