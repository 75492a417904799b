#include "config_file_commands.h"
#include "config_record.h"
#include "device_access.h"
#include "file_size_limit.h"
#include "quorix_comm.h"
#include "tabform2.h"
#include "tabform3.h"
#include "tabform4.h"
#include "test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace {

using DialogAction = std::function<void(QFileDialog&)>;

// The three pages that hold a configuration, in a window of their own, with the commands on it.
// HOME is a fresh folder with a "Documents" folder in it; no port is ever opened here.
struct Rig {
    QTemporaryDir home;
    ScopedEnv homeVariable{"HOME", QFile::encodeName(home.path())};
    SettingsSandbox settings;  // also keeps the user's folder names out
    QTemporaryDir files;
    RecordingMessages messages;
    QuorixComm comm{0, messages};
    DeviceAccess access{comm, [] { return 0; }};
    QWidget window;
    TabForm2* comparators = new TabForm2(&window);
    TabForm3* offsets = new TabForm3(access, &window);
    TabForm4* errors = new TabForm4(access, &window);
    ConfigFileCommands commands{window, *comparators, *offsets, *errors, messages};

    Rig()
    {
        QDir(home.path()).mkdir(QStringLiteral("Documents"));
        errors->SelectCycle(QStringLiteral("-"));  // as the main window does at start
        TheConfigRecord() = ConfigRecord{};
    }

    QString documents() const { return home.filePath(QStringLiteral("Documents")); }
    QString path(const QString& name) const { return files.filePath(name); }

    // Runs a command; each time its dialog is up, the next action answers it. A dialog still
    // open when the actions are used up, or after ten seconds, is cancelled and reported.
    bool run(void (ConfigFileCommands::*command)(), std::vector<DialogAction> actions)
    {
        QFileDialog& dialog = commands.fileDialog();
        std::size_t next = 0;
        bool stray = false;
        bool busy = false;  // an action that waits lets the driver tick again
        QTimer driver;
        driver.setInterval(5);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (busy || QApplication::activeModalWidget() != &dialog)
                return;
            if (next == actions.size()) {
                stray = true;
                dialog.reject();
                return;
            }
            busy = true;
            actions[next++](dialog);
            busy = false;
        });
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, [&] {
            stray = true;
            dialog.reject();
        });
        driver.start();
        bound.start(10000);
        (commands.*command)();
        return !stray && next == actions.size();
    }

    QLineEdit* thresholdBox(const char* name)
    {
        return comparators->findChild<QLineEdit*>(QLatin1String(name));
    }
    QStringList thresholdTexts()
    {
        QStringList texts;
        for (int i = 0; i < 4; ++i)
            texts << comparators->GetThresholdText(i);
        return texts;
    }
};

DialogAction choose(const QString& name)
{
    return [name](QFileDialog& dialog) {
        // selectFile leaves the name field alone while it has the focus, as a user is typing.
        if (QWidget* focused = dialog.focusWidget())
            focused->clearFocus();
        dialog.selectFile(name);
        static_cast<QDialog&>(dialog).accept();  // QFileDialog hides accept() from callers
    };
}

DialogAction cancel()
{
    return [](QFileDialog& dialog) { dialog.reject(); };
}

QByteArray readAll(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeAll(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QComboBox* filterList(QFileDialog& dialog)
{
    for (auto* combo : dialog.findChildren<QComboBox*>()) {
        if (combo->count() == 2 && combo->itemText(0).startsWith(QLatin1String("Quorix")))
            return combo;
    }
    return nullptr;
}

const QByteArray StartFile = "[Threshold 1 Upper]\r\nPercent=100.00\r\n"
                             "[Threshold 1 Lower]\r\nPercent=0.00\r\n"
                             "[Threshold 2 Upper]\r\nPercent=100.00\r\n"
                             "[Threshold 2 Lower]\r\nPercent=0.00\r\n"
                             "[Error]\r\nEnabled=1\r\nMemory=1\r\nCycle=0\r\n"
                             "[Calibration]\r\nReceiver=0\r\nTransmitter=0\r\n";

}  // namespace

class TestConfigFileCommands : public QObject {
    Q_OBJECT

private slots:
    void dialogStartsInDocuments_data()
    {
        QTest::addColumn<bool>("open");
        QTest::newRow("open") << true;
        QTest::newRow("save") << false;
    }
    void dialogStartsInDocuments()
    {
        QFETCH(bool, open);
        Rig rig;
        const auto command =
            open ? &ConfigFileCommands::OpenConfigFile : &ConfigFileCommands::SaveConfigFile;
        QString folder, name;
        QFileDialog::AcceptMode mode{};
        QStringList filters;
        const DialogAction look = [&](QFileDialog& dialog) {
            folder = dialog.directory().absolutePath();
            name = dialog.selectedFiles().value(0);
            mode = dialog.acceptMode();
            if (QComboBox* list = filterList(dialog))
                filters << list->itemText(0) << list->itemText(1);
            dialog.reject();
        };

        QVERIFY(rig.run(command, {look}));

        QCOMPARE(folder, rig.documents());
        QCOMPARE(name, rig.documents() + "/*.qxc");
        QCOMPARE(mode, open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        QCOMPARE(filters, QStringList({"Quorix configuration (*.qxc)", "All files (*.*)"}));
        QCOMPARE(rig.commands.fileDialog().parent(), &rig.window);
        QVERIFY(rig.commands.fileDialog().testOption(QFileDialog::DontUseNativeDialog));
        QVERIFY(rig.commands.fileDialog().testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(rig.messages.count(), 0);
        QVERIFY(rig.files.isValid() && QDir(rig.files.path()).isEmpty());
    }

    void homeWithoutDocuments()
    {
        Rig rig;
        QDir(rig.documents()).removeRecursively();
        QString folder;
        QVERIFY(rig.run(&ConfigFileCommands::SaveConfigFile, {[&](QFileDialog& dialog) {
                            folder = dialog.directory().absolutePath();
                            dialog.reject();
                        }}));
        QCOMPARE(folder, rig.home.path());
    }

    // Every use starts in the documents folder again; only the chosen filter carries over.
    void onlyTheFilterCarriesOver()
    {
        Rig rig;
        QVERIFY(writeAll(rig.path("README"), "text"));
        const DialogAction allFiles = [&](QFileDialog& dialog) {
            QComboBox* list = filterList(dialog);
            list->setCurrentIndex(1);
            emit list->activated(1);  // as a choice in the list does
            choose(rig.path("kept"))(dialog);
        };
        QVERIFY(rig.run(&ConfigFileCommands::SaveConfigFile, {allFiles}));
        QVERIFY(QFile::exists(rig.path("kept.qxc")));

        QString folder, name, filter;
        QStringList shown;
        const DialogAction look = [&](QFileDialog& dialog) {
            folder = dialog.directory().absolutePath();
            name = dialog.selectedFiles().value(0);
            filter = dialog.selectedNameFilter();
            dialog.setDirectory(rig.files.path());
            dialog.setViewMode(QFileDialog::List);
            auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
            const auto names = [view] {
                QStringList listed;
                for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                    listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
                listed.sort();
                return listed;
            };
            QTRY_COMPARE_WITH_TIMEOUT(names().size(), 2, 5000);
            shown = names();
            dialog.reject();
        };
        QVERIFY(rig.run(&ConfigFileCommands::OpenConfigFile, {look}));

        QCOMPARE(folder, rig.documents());
        QCOMPARE(name, rig.documents() + "/*.qxc");
        QCOMPARE(filter, QString("All files (*.*)"));
        QCOMPARE(shown, QStringList({"README", "kept.qxc"}));  // names without a dot as well
    }

    void saveStartConfiguration()
    {
        Rig rig;
        QVERIFY(rig.run(&ConfigFileCommands::SaveConfigFile, {choose(rig.path("start.qxc"))}));
        QCOMPARE(readAll(rig.path("start.qxc")), StartFile);
        QCOMPARE(rig.messages.count(), 0);
        QVERIFY(!rig.comm.isOpen());
    }

    void saveNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension gets .qxc") << "test" << "test.qxc";
        QTest::newRow("other extension kept") << "test.txt" << "test.txt";
        QTest::newRow("two dots kept") << "plant.v2.qxc" << "plant.v2.qxc";
    }
    void saveNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        Rig rig;
        QVERIFY(rig.run(&ConfigFileCommands::SaveConfigFile, {choose(rig.path(typed))}));
        QCOMPARE(QDir(rig.files.path()).entryList(QDir::Files), QStringList{written});
        QCOMPARE(readAll(rig.path(written)), StartFile);
    }

    // Accepting the dialog with its pattern still in the name field chooses no file.
    void patternInNameFieldAsksAgain()
    {
        Rig rig;
        const DialogAction acceptPattern = [](QFileDialog& dialog) {
            static_cast<QDialog&>(dialog).accept();
        };
        QVERIFY(rig.run(&ConfigFileCommands::SaveConfigFile,
                        {acceptPattern, choose(rig.path("after.qxc"))}));
        QVERIFY(QDir(rig.documents()).isEmpty());
        QCOMPARE(readAll(rig.path("after.qxc")), StartFile);
    }

    void cancelChangesNothing_data()
    {
        QTest::addColumn<bool>("open");
        QTest::newRow("open") << true;
        QTest::newRow("save") << false;
    }
    void cancelChangesNothing()
    {
        QFETCH(bool, open);
        Rig rig;
        rig.offsets->SetOffsets("3", "4");
        TheConfigRecord().cycle = 35;
        QVERIFY(rig.run(open ? &ConfigFileCommands::OpenConfigFile
                             : &ConfigFileCommands::SaveConfigFile,
                        {cancel()}));
        QCOMPARE(rig.offsets->GetOffset(1), 3);
        QCOMPARE(TheConfigRecord().cycle, 35);
        QVERIFY(QDir(rig.documents()).isEmpty());
        QCOMPARE(rig.messages.count(), 0);
    }

    // Typed texts are saved as their number reading gives them; opening shows them again.
    void saveGathersPagesAndOpenShowsThem()
    {
        QByteArray written;
        {
            Rig rig;
            rig.thresholdBox("textb_threshold1_upper")->setText("12.3456");
            rig.thresholdBox("textb_threshold1_lower")->setText("abc");
            rig.thresholdBox("textb_threshold2_upper")->setText("250");
            rig.thresholdBox("textb_threshold2_lower")->setText(" -7.5");
            rig.errors->SetErrorEnabled(false);
            rig.errors->SelectCycle("45");
            rig.offsets->SetOffsets("-5", "127");
            QVERIFY(rig.run(&ConfigFileCommands::SaveConfigFile, {choose(rig.path("mine"))}));
            written = readAll(rig.path("mine.qxc"));
            QCOMPARE(written, QByteArray("[Threshold 1 Upper]\r\nPercent=12.35\r\n"
                                         "[Threshold 1 Lower]\r\nPercent=0.00\r\n"
                                         "[Threshold 2 Upper]\r\nPercent=250.00\r\n"
                                         "[Threshold 2 Lower]\r\nPercent=-7.50\r\n"
                                         "[Error]\r\nEnabled=0\r\nMemory=1\r\nCycle=45\r\n"
                                         "[Calibration]\r\nReceiver=-5\r\nTransmitter=127\r\n"));
        }
        Rig rig;
        QVERIFY(writeAll(rig.path("mine.qxc"), written));
        QVERIFY(rig.run(&ConfigFileCommands::OpenConfigFile, {choose(rig.path("mine.qxc"))}));
        QCOMPARE(rig.thresholdTexts(), QStringList({"12.35", "0.00", "250.00", "-7.50"}));
        QVERIFY(!rig.errors->GetErrorEnabled());
        QVERIFY(rig.errors->GetErrorMemory());
        QCOMPARE(rig.errors->GetCycleText(), QString("45"));
        QCOMPARE(rig.offsets->GetOffset(1), -5);
        QCOMPARE(rig.offsets->GetOffset(2), 127);
        QCOMPARE(rig.messages.count(), 0);
    }

    void openShowsEveryMember_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("cycleBefore");
        QTest::addColumn<QStringList>("thresholds");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("memory");
        QTest::addColumn<QString>("cycle");
        QTest::addColumn<int>("receiver");
        QTest::addColumn<int>("transmitter");
        const QStringList zero{"0.00", "0.00", "0.00", "0.00"};
        QTest::newRow("error section")
            << QByteArray("[Error]\r\nEnabled=0\r\nMemory=1\r\nCycle=15\r\n") << "-" << zero
            << false << true << "15" << 0 << 0;
        QTest::newRow("only the receiver offset")
            << QByteArray("[Calibration]\r\nReceiver=5\r\n") << "30" << zero << false << false
            << "-" << 5 << 0;
        QTest::newRow("cycle 0 selects the dash")
            << QByteArray("[Error]\r\nCycle=0\r\n") << "30" << zero << false << false << "-"
            << 0 << 0;
        QTest::newRow("cycle 1 selects 10")
            << QByteArray("[Error]\r\nCycle=1\r\n") << "-" << zero << false << false << "10"
            << 0 << 0;
        QTest::newRow("cycle 7 keeps the selection")
            << QByteArray("[Error]\r\nCycle=7\r\n") << "30" << zero << false << false << "30"
            << 0 << 0;
        QTest::newRow("threshold of 250 and offset of 500")
            << QByteArray("[Threshold 1 Upper]\r\nPercent=250\r\n"
                          "[Calibration]\r\nReceiver=500\r\nTransmitter=-12\r\n")
            << "-" << QStringList({"250.00", "0.00", "0.00", "0.00"}) << false << false << "-"
            << 500 << -12;
        QTest::newRow("line feeds and other letter case")
            << QByteArray("[threshold 2 lower]\nPercent=-1.5\n[ERROR]\nEnabled=1\n") << "-"
            << QStringList({"0.00", "0.00", "0.00", "-1.50"}) << true << false << "-" << 0 << 0;
        QTest::newRow("not a configuration")
            << QByteArray("just some text\r\n") << "-" << zero << false << false << "-" << 0 << 0;
    }
    void openShowsEveryMember()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, cycleBefore);
        QFETCH(QStringList, thresholds);
        QFETCH(bool, enabled);
        QFETCH(bool, memory);
        QFETCH(QString, cycle);
        QFETCH(int, receiver);
        QFETCH(int, transmitter);
        Rig rig;
        rig.errors->SelectCycle(cycleBefore);
        QVERIFY(writeAll(rig.path("example.qxc"), file));

        QVERIFY(rig.run(&ConfigFileCommands::OpenConfigFile, {choose(rig.path("example"))}));

        QCOMPARE(rig.thresholdTexts(), thresholds);
        QCOMPARE(rig.errors->GetErrorEnabled(), enabled);
        QCOMPARE(rig.errors->GetErrorMemory(), memory);
        QCOMPARE(rig.errors->GetCycleText(), cycle);
        QCOMPARE(rig.offsets->GetOffset(1), receiver);
        QCOMPARE(rig.offsets->GetOffset(2), transmitter);
        QCOMPARE(rig.messages.count(), 0);
        QVERIFY(!rig.comm.isOpen());
    }

    void openWhatCannotBeRead_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("viaDialog");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("missing, no extension, Yes") << "nothere" << "nothere.qxc" << true
                                                    << MessageAnswer::Yes;
        QTest::newRow("missing, other extension, No") << "nothere.ini" << "nothere.ini" << true
                                                      << MessageAnswer::No;
        QTest::newRow("a folder") << "folder.qxc" << "folder.qxc" << false << MessageAnswer::Yes;
    }
    void openWhatCannotBeRead()
    {
        QFETCH(QString, typed);
        QFETCH(QString, named);
        QFETCH(bool, viaDialog);
        QFETCH(MessageAnswer, answer);
        Rig rig;
        QVERIFY(QDir(rig.files.path()).mkdir("folder.qxc"));
        rig.messages.setAnswer(answer);
        rig.offsets->SetOffsets("9", "8");
        rig.comparators->SetThreshold(0, 42.0);
        rig.errors->SelectCycle("30");
        TheConfigRecord().receiverOffset = 77;

        if (viaDialog)
            QVERIFY(rig.run(&ConfigFileCommands::OpenConfigFile, {choose(rig.path(typed))}));
        else
            rig.commands.openFile(rig.path(typed));

        QCOMPARE(rig.messages.count(), 1);
        const UserMessage& shown = rig.messages.last();
        QCOMPARE(shown.icon, MessageIcon::Information);
        QCOMPARE(shown.buttons, MessageButtons::YesNo);
        QCOMPARE(shown.title, std::string("Info"));
        QCOMPARE(shown.text, "Can't open \"" + rig.path(named).toStdString() + "\"!");
        QCOMPARE(rig.offsets->GetOffset(1), 9);
        QCOMPARE(rig.thresholdTexts().front(), QString("42.00"));
        QCOMPARE(rig.errors->GetCycleText(), QString("30"));
        QCOMPARE(TheConfigRecord().receiverOffset, 77);
    }

    void saveWhereNothingCanBeWritten_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder path is a file")
            << "plain.txt/conf.qxc" << "The folder does not exist.";
        QTest::newRow("folder missing") << "missing/conf.qxc" << "The folder does not exist.";
        QTest::newRow("a folder has the name") << "folder.qxc" << "A folder has this name.";
    }
    void saveWhereNothingCanBeWritten()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        Rig rig;
        QVERIFY(writeAll(rig.path("plain.txt"), "keep me"));
        QVERIFY(QDir(rig.files.path()).mkdir("folder.qxc"));

        QVERIFY(!rig.commands.saveFile(rig.path(target)));

        QCOMPARE(rig.messages.count(), 1);
        const UserMessage& shown = rig.messages.last();
        QCOMPARE(shown.icon, MessageIcon::Error);
        QCOMPARE(shown.buttons, MessageButtons::Ok);
        QCOMPARE(shown.title, std::string("Quorix Error"));
        QCOMPARE(QString::fromStdString(shown.text),
                 "Couldn't write \"" + rig.path(target) + "\".\r\n\r\n" + reason);
        QCOMPARE(readAll(rig.path("plain.txt")), QByteArray("keep me"));
        QVERIFY(QFileInfo(rig.path("folder.qxc")).isDir());
    }

    // A write that fails midway (here: the file size limit, which binds root as well) leaves
    // the old file whole and says so.
    void failedSaveKeepsOldFile()
    {
        Rig rig;
        const QByteArray old = "[Other]\r\nkey=value\r\n";
        QVERIFY(writeAll(rig.path("old.qxc"), old));
        bool written = true;
        {
            FileSizeLimit limit(64);
            QVERIFY(limit.isActive());
            written = rig.commands.saveFile(rig.path("old.qxc"));
        }
        QVERIFY(!written);
        QCOMPARE(readAll(rig.path("old.qxc")), old);
        QCOMPARE(rig.messages.titles(), std::vector<std::string>{"Quorix Error"});
        QCOMPARE(rig.messages.last().text,
                 "Couldn't write \"" + rig.path("old.qxc").toStdString() + "\".");
        QCOMPARE(QDir(rig.files.path()).entryList(QDir::Files), QStringList{"old.qxc"});
    }

    void saveKeepsOtherSections()
    {
        Rig rig;
        QVERIFY(writeAll(rig.path("shared.qxc"), "[Other]\r\nkey=value\r\n[Error]\r\nOld=1\r\n"));
        QVERIFY(rig.commands.saveFile(rig.path("shared.qxc")));
        const QByteArray text = readAll(rig.path("shared.qxc"));
        QVERIFY(text.contains("[Other]\r\nkey=value\r\n"));
        QVERIFY(text.contains("[Error]\r\nEnabled=1\r\nMemory=1\r\nCycle=0\r\n"));
        QVERIFY(!text.contains("Old=1"));
        QVERIFY(text.contains("[Calibration]\r\nReceiver=0\r\nTransmitter=0\r\n"));
    }
};

QTEST_MAIN(TestConfigFileCommands)
#include "tst_configfilecommands.moc"
