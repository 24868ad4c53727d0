// The About box: its template, the two links with their targets, and running it modally over its owner.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "app/about_dlg.h"
#include "modal_driver.h"
#include "qstring_printer.h"
#include "res/resource.h"

namespace {

QStringList LabelTexts(const CDialog& dlg) {
    QStringList texts;
    for (const QLabel* label : dlg.GetSafeWidget()->findChildren<QLabel*>())
        texts.append(label->text());
    return texts;
}

} // namespace

TEST(AboutDlg, ShowsTheProductLineIconAndTextsOfItsTemplate) {
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    QWidget* window = dlg.GetSafeWidget();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("About Quarrow"));
    EXPECT_EQ(window->size(), QSize(351, 494)) << "234 x 304 dialog units";
    const QStringList texts = LabelTexts(dlg);
    EXPECT_TRUE(texts.contains(QStringLiteral("Quarrow V@1.0")));
    EXPECT_GE(texts.size(), 5) << "product line, two text lines and two links";

    bool hasIcon = false;
    for (const QLabel* label : window->findChildren<QLabel*>())
        hasIcon = hasIcon || !label->pixmap().isNull();
    EXPECT_TRUE(hasIcon);
    dlg.DestroyWindow();
}

TEST(AboutDlg, BindsTheLinksToTheUserGuideAndTheMaintainers) {
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    EXPECT_EQ(dlg.m_linkWeb.GetSafeWidget(), dlg.GetDlgItem(IDC_LINK_WEB)->GetSafeWidget());
    EXPECT_EQ(dlg.m_linkEmail.GetSafeWidget(), dlg.GetDlgItem(IDC_LINK_EMAIL)->GetSafeWidget());

    // The web link opens the user guide lying next to the program.
    const QUrl guide(dlg.m_linkWeb.GetTarget());
    ASSERT_TRUE(guide.isLocalFile()) << dlg.m_linkWeb.GetTarget().toStdString();
    EXPECT_EQ(guide.toLocalFile(),
              QCoreApplication::applicationDirPath() + QStringLiteral("/user-guide.html"));
    EXPECT_EQ(dlg.m_linkWeb.GetWindowText(), QStringLiteral("User guide"));

    // The e-mail link writes to the maintainers' role address.
    const QString mail = dlg.m_linkEmail.GetTarget();
    EXPECT_TRUE(mail.startsWith(QStringLiteral("mailto:maintainers@"))) << mail.toStdString();
    EXPECT_EQ(dlg.m_linkEmail.GetWindowText(), QStringLiteral("Write to the maintainers"));

    for (CLinkStatic* link : {&dlg.m_linkWeb, &dlg.m_linkEmail}) {
        SCOPED_TRACE(link->GetWindowText().toStdString());
        // The tooltip shows the target, not the caption.
        EXPECT_EQ(link->m_tip.GetToolText(link, CLinkStatic::kTipToolId), link->GetTarget());
        EXPECT_TRUE(link->GetSafeWidget()->font().underline());
        // Fitted to its text: the whole text is the clickable area.
        const QFontMetrics metrics(link->m_fontLink);
        EXPECT_LE(std::abs(link->GetSafeWidget()->width() - metrics.horizontalAdvance(link->GetWindowText())),
                  1);
    }
    dlg.DestroyWindow();
}

TEST(AboutDlg, InstalledProgramFindsTheGuideInItsDocFolder) {
    // The installed layout: <prefix>/bin/quarrow and <prefix>/share/doc/quarrow/user-guide.html. The test
    // program stands in for the installed one, so the doc folder is made relative to it.
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString docDir = QDir::cleanPath(programDir.filePath(QStringLiteral("../share/doc/quarrow")));
    ASSERT_FALSE(QFileInfo::exists(programDir.filePath(QStringLiteral("user-guide.html"))));
    ASSERT_TRUE(QDir().mkpath(docDir));
    QFile guide(docDir + QStringLiteral("/user-guide.html"));
    ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
    guide.close();
    const QUrl target(CAboutDlg::UserGuideTarget());
    QDir(QDir::cleanPath(docDir + QStringLiteral("/../.."))).removeRecursively();
    EXPECT_EQ(target.toLocalFile(), docDir + QStringLiteral("/user-guide.html"));
}

TEST(AboutDlg, UserGuideShipsNextToTheProgram) {
    QFile guide(QStringLiteral(QUARROW_BINARY_DIR "/user-guide.html"));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly)) << "the build copies the guide next to the program";
    const QByteArray html = guide.readAll();
    EXPECT_TRUE(html.contains("<title>Quarrow user guide</title>"));
    for (const char* topic : {"Browse...", "Scan", "Load 3 col", "column header", "Sorted-", "File lists"})
        EXPECT_TRUE(html.contains(topic)) << topic;
}

TEST(AboutDlg, RunsModallyCentredOverItsOwnerUntilOk) {
    QWidget owner;
    owner.setGeometry(100, 80, 700, 500);
    owner.show();
    CWnd ownerWnd;
    ownerWnd.SubclassWidget(&owner);

    CAboutDlg dlg(&ownerWnd);
    QPoint centre;
    QString title;
    WhenModalOpens([&](QWidget* window) {
        ASSERT_NE(window, nullptr);
        title = window->windowTitle();
        centre = window->frameGeometry().center();
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("OK"))
                button->click();
        }
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(title, QStringLiteral("About Quarrow"));
    // Centred before it shows, when its frame is not known yet: within the frame's width of the centre.
    EXPECT_LE((centre - owner.frameGeometry().center()).manhattanLength(), 8);
    // The window is gone, and with it the links' hover timers.
    EXPECT_FALSE(dlg.m_linkWeb.IsWindow());
    EXPECT_FALSE(dlg.m_linkWeb.KillTimer(CLinkStatic::kHoverTimer));
    EXPECT_FALSE(dlg.m_linkEmail.KillTimer(CLinkStatic::kHoverTimer));
    ownerWnd.Detach();
}
