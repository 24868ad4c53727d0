// The About entry of the main window's system menu and the system commands.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include "app/main_dlg.h"
#include "main_dlg_controls.h"
#include "modal_driver.h"
#include "qstring_printer.h"
#include "res/resource.h"

namespace {

// The title of the modal window `run` opens, closed at once; empty when none opens.
QString TitleOfModalOpenedBy(const std::function<void()>& run) {
    QString title;
    bool ran = false;
    WhenModalOpens([&](QWidget* window) {
        ran = true;
        if (window)
            title = window->windowTitle();
    });
    run();
    // When nothing opened a modal loop, the driver is still waiting: let it run now.
    if (!ran)
        QCoreApplication::processEvents();
    return title;
}

} // namespace

TEST(MainDlgAbout, SystemMenuEndsWithASeparatorAndAbout) {
    CMainDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    const auto& entries = dlg.GetSystemMenu(FALSE)->Entries();
    ASSERT_GE(entries.size(), 3u) << "Close, separator, About";
    const CMenu::Entry& separator = entries[entries.size() - 2];
    const CMenu::Entry& about = entries.back();
    EXPECT_TRUE(separator.flags & MF_SEPARATOR);
    EXPECT_EQ(about.flags, MF_STRING);
    EXPECT_EQ(about.id, 0x10u);
    EXPECT_EQ(about.text, QStringLiteral("&About"));
    dlg.DestroyWindow();
}

struct SysCommandCase {
    const char* name;
    UINT id;
    bool opensAbout;
    bool closesWindow;
};
void PrintTo(const SysCommandCase& c, std::ostream* os) {
    *os << c.name;
}

class MainDlgSysCommandTest : public ::testing::TestWithParam<SysCommandCase> {};

TEST_P(MainDlgSysCommandTest, OpensAboutOnlyForItsCommand) {
    const SysCommandCase& c = GetParam();
    CMainDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    const QString title = TitleOfModalOpenedBy([&] { SendSysCommand(dlg, c.id); });
    EXPECT_EQ(title, c.opensAbout ? QStringLiteral("About Quarrow") : QString());
    EXPECT_EQ(dlg.GetSafeWidget()->isVisible(), !c.closesWindow);
    dlg.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(Commands, MainDlgSysCommandTest,
                         ::testing::Values(SysCommandCase{"about", 0x0010, true, false},
                                           // The low four bits are the platform's own and do not count.
                                           SysCommandCase{"aboutWithLowBits", 0x001F, true, false},
                                           SysCommandCase{"other", 0x0020, false, false},
                                           SysCommandCase{"close", SC_CLOSE, false, true}),
                         [](const ::testing::TestParamInfo<SysCommandCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(MainDlgAbout, RightClickOnTheWindowOffersAboutWhichOpensTheAboutBox) {
    CMainDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    QWidget* window = dlg.GetSafeWidget();
    // A point of the window's own background, not on a control.
    QPoint background(-1, -1);
    for (int y = window->height() - 1; y >= 0 && background.x() < 0; y -= 3) {
        for (int x = 0; x < window->width(); x += 3) {
            if (!window->childAt(x, y)) {
                background = QPoint(x, y);
                break;
            }
        }
    }
    ASSERT_GE(background.x(), 0);

    QString lastEntry;
    bool separatorBefore = false;
    QString aboutTitle;
    QTimer::singleShot(0, qApp, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "the right click shows the system menu";
        const QList<QAction*> actions = menu->actions();
        ASSERT_GE(actions.size(), 2);
        lastEntry = actions.back()->text();
        separatorBefore = actions[actions.size() - 2]->isSeparator();
        menu->close();
        aboutTitle = TitleOfModalOpenedBy([&] { actions.back()->trigger(); });
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, background, window->mapToGlobal(background));
    QApplication::sendEvent(window, &event);
    EXPECT_EQ(lastEntry, QStringLiteral("&About"));
    EXPECT_TRUE(separatorBefore);
    EXPECT_EQ(aboutTitle, QStringLiteral("About Quarrow"));
    dlg.DestroyWindow();
}
