// The existing-file question: its radio choice outlives a Cancel, and the Qt desktop asks
// it on the GUI thread for a worker, or dismisses it while the link is closing.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QRadioButton>
#include <QThread>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "app/dialogs/existing_file_dialog.h"
#include "app/shell/qt_desktop.h"
#include "dialog_driver.h"

using namespace kestrel::app;
using kestrel::testing::click;
using kestrel::testing::named;

namespace {

TEST(ExistingFileDialog, TheRadioChoiceIsKeptEvenOnCancel) {
    struct Row {
        bool overwrite;
        const char* pick;  // radio button clicked, or none
        const char* end;
        bool ok, overwrite_after;
    };
    const Row rows[] = {{false, "上書き", "ｷｬﾝｾﾙ", false, true},
                        {true, "追加", "ＯＫ", true, false},
                        {true, nullptr, "ＯＫ", true, true},
                        {false, nullptr, "ｷｬﾝｾﾙ", false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.pick ? row.pick : "-") + " " + row.end);
        bool overwrite = row.overwrite;
        const bool ok = run_existing_file_dialog(nullptr, overwrite, [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), "ダウンロード");
            EXPECT_EQ(d.findChild<QLabel*>()->text(), "そのファイルは既にあります");
            EXPECT_EQ(named<QRadioButton>(d, "上書き")->isChecked(), row.overwrite);
            EXPECT_EQ(named<QRadioButton>(d, "追加")->isChecked(), !row.overwrite);
            if (row.pick) click(d, row.pick);
            click(d, row.end);
            return d.result();
        });
        EXPECT_EQ(ok, row.ok);
        EXPECT_EQ(overwrite, row.overwrite_after);
    }
}

TEST(ExistingFileDialog, QtDesktopAsksOnTheGuiThreadForAWorker) {
    QtDesktop desktop;
    bool on_gui_thread = false;
    desktop.set_dialog_runner([&](QDialog& d) {
        on_gui_thread = QThread::currentThread() == qApp->thread();
        click(d, "上書き");
        click(d, "ｷｬﾝｾﾙ");
        return d.result();
    });
    kestrel::Desktop::ExistingFileAnswer answer;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        answer = desktop.ask_existing_file(false);
        done = true;
    });
    QElapsedTimer guard;
    guard.start();
    while (!done && guard.elapsed() < 10000) QCoreApplication::processEvents();
    worker.join();
    EXPECT_TRUE(on_gui_thread);
    EXPECT_FALSE(answer.ok);
    EXPECT_TRUE(answer.overwrite);

    desktop.dismiss_background_messages(true);
    std::thread dismissed([&] { answer = desktop.ask_existing_file(true); });
    dismissed.join();
    desktop.dismiss_background_messages(false);
    EXPECT_FALSE(answer.ok);
    EXPECT_TRUE(answer.overwrite);
}

}  // namespace
