// The file picker, driven offscreen: its set-up, choosing and cancelling, and the locks that make it strictly
// a picker.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/folder_file_dialog.h"
#include "modal_driver.h"
#include "qstring_printer.h"

namespace {

// The filter list Browse hands over: two pairs, each part ended by a NUL, and the closing NUL.
const char kBrowseFilter[] = ".TXT (*.TXT)\0*.TXT\0All files (*.*)\0*.*\0";
constexpr int kBrowseFilterLength = sizeof(kBrowseFilter) - 1;

QStringList ComboTexts(QFileDialog* dialog) {
    QStringList texts;
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    for (int i = 0; combo && i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

// The names the dialog lists in its current folder, once its model has read them.
std::set<QString> ListedNames(QFileDialog* dialog) {
    auto* model = dialog->findChild<QFileSystemModel*>();
    auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
    std::set<QString> names;
    if (!model || !view)
        return names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row)
        names.insert(model->fileName(model->index(row, 0, root)));
    return names;
}

class FolderFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"a.txt", "B.TXT", "c.Txt", "readme", "d.dat", "LBA.TXT"})
            Touch(QString::fromLatin1(name));
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
    }

    void Touch(const QString& name) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("0000001A|00000800|BOOT.BIN\r\n");
    }
    QString Path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }

    // A picker as Browse makes it, opening in the temporary folder.
    std::unique_ptr<CFolderFileDialog> MakePicker(DWORD flags = 0) const {
        return std::make_unique<CFolderFileDialog>(TRUE, nullptr, m_dir.path(), QString(), kBrowseFilter,
                                                   kBrowseFilterLength + 1, nullptr, flags);
    }

    // Runs the picker; `drive` sees it open and may choose a file. Returns DoModal's result.
    static INT_PTR Run(CFolderFileDialog& picker, const std::function<void(QFileDialog*)>& drive) {
        WhenModalOpens([&picker, drive](QWidget* window) {
            ASSERT_EQ(window, picker.GetFileDialog()) << "the picker is the open modal window";
            drive(picker.GetFileDialog());
        });
        return picker.DoModal();
    }

    // Types a name into the file-name field and presses Open.
    static void Choose(QFileDialog* dialog, const QString& typed) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(typed);
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_NE(buttons, nullptr);
        QPushButton* open = buttons->button(QDialogButtonBox::Open);
        ASSERT_NE(open, nullptr);
        ASSERT_TRUE(open->isEnabled()) << typed.toStdString();
        open->click();
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(FolderFileDialogTest, OpensNonNativeAndReadOnlyAtTheInitialFolder) {
    auto picker = MakePicker();
    QFileDialog* dialog = picker->GetFileDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(dialog->testOption(QFileDialog::ReadOnly));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::AnyFile) << "a typed name need not exist";
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(m_dir.path()).absolutePath());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Open"));

    CFolderFileDialog mustExist(TRUE, nullptr, QString(), QString(), nullptr, 0, nullptr, OFN_FILEMUSTEXIST);
    EXPECT_EQ(mustExist.GetFileDialog()->fileMode(), QFileDialog::ExistingFile);
}

struct FilterCase {
    const char* name;
    std::string bytes; // the caller's buffer, NULs included
    int length;        // the length the caller passes; -1 for no filter at all
    QStringList descriptions;
    QStringList firstPatterns;
};
void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.name;
}

class FolderFileDialogFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FolderFileDialogFilterTest, BuildsTheFilterListFromTheGivenBytes) {
    const FilterCase& c = GetParam();
    CFolderFileDialog picker(TRUE, nullptr, QString(), QString(), c.length < 0 ? nullptr : c.bytes.data(),
                             c.length, nullptr, 0);
    EXPECT_EQ(ComboTexts(picker.GetFileDialog()), c.descriptions);
    auto* model = picker.GetFileDialog()->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->nameFilters(), c.firstPatterns);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FolderFileDialogFilterTest,
    ::testing::Values(FilterCase{"browse",
                                 std::string(kBrowseFilter, sizeof(kBrowseFilter)),
                                 kBrowseFilterLength + 1,
                                 {QStringLiteral(".TXT (*.TXT)"), QStringLiteral("All files (*.*)")},
                                 {QStringLiteral("*.TXT")}},
                      FilterCase{"none", "", -1, {QStringLiteral("All Files")}, {QStringLiteral("*")}},
                      // Only the given length counts: the second pair lies beyond it.
                      FilterCase{"cutByLength",
                                 std::string(kBrowseFilter, sizeof(kBrowseFilter)),
                                 19,
                                 {QStringLiteral(".TXT (*.TXT)")},
                                 {QStringLiteral("*.TXT")}},
                      FilterCase{"severalPatterns",
                                 std::string("Listings\0*.txt; *.lst\0\0", 23),
                                 23,
                                 {QStringLiteral("Listings")},
                                 {QStringLiteral("*.txt"), QStringLiteral("*.lst")}},
                      // A description without its pattern is dropped.
                      FilterCase{"oddPart",
                                 std::string("Text\0*.txt\0Lonely\0\0", 20),
                                 20,
                                 {QStringLiteral("Text")},
                                 {QStringLiteral("*.txt")}}),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

struct DefExtCase {
    const char* name;
    const char* given;
    QString expected;
};
void PrintTo(const DefExtCase& c, std::ostream* os) {
    *os << c.name;
}

class FolderFileDialogDefExtTest : public ::testing::TestWithParam<DefExtCase> {};

TEST_P(FolderFileDialogDefExtTest, KeepsAtMostThreeCharactersWithoutDots) {
    const DefExtCase& c = GetParam();
    CFolderFileDialog picker(TRUE, nullptr, QString(), QString(), nullptr, 0, c.given, 0);
    EXPECT_EQ(picker.m_szDefExt, c.expected);
    EXPECT_EQ(picker.GetFileDialog()->defaultSuffix(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(DefaultExtensions, FolderFileDialogDefExtTest,
                         ::testing::Values(DefExtCase{"absent", nullptr, QString()},
                                           DefExtCase{"plain", "txt", QStringLiteral("txt")},
                                           DefExtCase{"leadingDot", ".TXT", QStringLiteral("TXT")},
                                           DefExtCase{"dotsInside", "t.x.t.s", QStringLiteral("txt")},
                                           DefExtCase{"long", "listing", QStringLiteral("lis")},
                                           DefExtCase{"onlyDots", "...", QString()}),
                         [](const ::testing::TestParamInfo<DefExtCase>& info) {
                             return std::string(info.param.name);
                         });

struct ChooseCase {
    const char* name;
    QString typed;          // "%DIR%" stands for the temporary folder
    QString expectedFolder; // likewise
    QString expectedName;
};
void PrintTo(const ChooseCase& c, std::ostream* os) {
    *os << c.name;
}

class FolderFileDialogChooseTest : public FolderFileDialogTest,
                                   public ::testing::WithParamInterface<ChooseCase> {};

TEST_P(FolderFileDialogChooseTest, GivesTheFolderBeforeTheLastSeparatorAndTheName) {
    const ChooseCase& c = GetParam();
    QString typed = c.typed;
    typed.replace(QStringLiteral("%DIR%"), m_dir.path());
    QString folder = c.expectedFolder;
    folder.replace(QStringLiteral("%DIR%"), m_dir.path());

    auto picker = MakePicker();
    const INT_PTR result = Run(*picker, [typed](QFileDialog* dialog) { Choose(dialog, typed); });
    EXPECT_NE(result, 0);
    EXPECT_EQ(picker->GetFolder(), folder);
    EXPECT_EQ(picker->GetFileName(), c.expectedName);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, FolderFileDialogChooseTest,
    ::testing::Values(ChooseCase{"fullPath", QStringLiteral("%DIR%/c.Txt"), QStringLiteral("%DIR%"),
                                 QStringLiteral("c.Txt")},
                      ChooseCase{"inSubfolder", QStringLiteral("sub/new.TXT"), QStringLiteral("%DIR%/sub"),
                                 QStringLiteral("new.TXT")},
                      ChooseCase{"atTheRoot", QStringLiteral("/X.TXT"), QString(), QStringLiteral("X.TXT")}),
    [](const ::testing::TestParamInfo<ChooseCase>& info) { return std::string(info.param.name); });

TEST_F(FolderFileDialogTest, CancellingChoosesNothing) {
    auto picker = MakePicker();
    const INT_PTR result = Run(*picker, [](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(picker->GetFileName().isEmpty());
    EXPECT_TRUE(picker->GetFolder().isEmpty());
}

TEST_F(FolderFileDialogTest, PatternsMatchWithoutRegardToCaseAndAllFilesMeansAll) {
    auto picker = MakePicker();
    std::set<QString> txtNames;
    std::set<QString> allNames;
    Run(*picker, [&](QFileDialog* dialog) {
        const std::set<QString> txt = {QStringLiteral("a.txt"), QStringLiteral("B.TXT"),
                                       QStringLiteral("c.Txt"), QStringLiteral("LBA.TXT"),
                                       QStringLiteral("sub")};
        EXPECT_TRUE(QTest::qWaitFor([&] { return ListedNames(dialog) == txt; }, 5000));
        txtNames = ListedNames(dialog);
        dialog->selectNameFilter(dialog->nameFilters().at(1));
        EXPECT_TRUE(QTest::qWaitFor([&] { return ListedNames(dialog).size() == 7; }, 5000));
        allNames = ListedNames(dialog);
    });
    EXPECT_EQ(txtNames,
              (std::set<QString>{QStringLiteral("a.txt"), QStringLiteral("B.TXT"), QStringLiteral("c.Txt"),
                                 QStringLiteral("LBA.TXT"), QStringLiteral("sub")}));
    EXPECT_EQ(allNames,
              (std::set<QString>{QStringLiteral("a.txt"), QStringLiteral("B.TXT"), QStringLiteral("c.Txt"),
                                 QStringLiteral("LBA.TXT"), QStringLiteral("sub"), QStringLiteral("readme"),
                                 QStringLiteral("d.dat")}));
}

TEST_F(FolderFileDialogTest, OffersNoWayToChangeFilesOrOpenAMenu) {
    auto picker = MakePicker();
    Run(*picker, [&](QFileDialog* dialog) {
        auto checkLocked = [&](const char* when) {
            SCOPED_TRACE(when);
            auto* newFolder = dialog->findChild<QToolButton*>(QStringLiteral("newFolderButton"));
            ASSERT_NE(newFolder, nullptr);
            EXPECT_FALSE(newFolder->isVisible());
            for (QWidget* widget : dialog->findChildren<QWidget*>()) {
                EXPECT_EQ(widget->contextMenuPolicy(), Qt::NoContextMenu)
                    << widget->objectName().toStdString();
                EXPECT_FALSE(widget->acceptDrops()) << widget->objectName().toStdString();
            }
            const auto views = dialog->findChildren<QAbstractItemView*>();
            EXPECT_GE(views.size(), 3) << "the list, the detail view and the side bar";
            for (QAbstractItemView* view : views) {
                EXPECT_EQ(view->dragDropMode(), QAbstractItemView::NoDragDrop)
                    << view->objectName().toStdString();
                EXPECT_FALSE(view->dragEnabled());
                EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
            }
        };
        checkLocked("opened");
        // Another folder and back: the same views, still locked.
        dialog->setDirectory(Path(QStringLiteral("sub")));
        dialog->setDirectory(m_dir.path());
        checkLocked("after changing folders");

        auto* model = dialog->findChild<QFileSystemModel*>();
        auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        ASSERT_NE(model, nullptr);
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(model->isReadOnly());
        const QModelIndex file = model->index(Path(QStringLiteral("a.txt")));
        ASSERT_TRUE(file.isValid());
        EXPECT_FALSE(model->flags(file) & Qt::ItemIsEditable);
        list->edit(file);
        EXPECT_TRUE(list->viewport()->findChildren<QLineEdit*>().isEmpty())
            << "names cannot be edited in place";

        // The right button neither selects nor changes folders.
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->visualRect(file).isValid(); }, 5000));
        list->clearSelection();
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, list->visualRect(file).center());
        EXPECT_FALSE(list->selectionModel()->isSelected(file));
        auto* sidebar = dialog->findChild<QAbstractItemView*>(QStringLiteral("sidebar"));
        ASSERT_NE(sidebar, nullptr);
        const QModelIndex place = sidebar->model()->index(0, 0);
        QTest::mouseClick(sidebar->viewport(), Qt::RightButton, Qt::NoModifier,
                          sidebar->visualRect(place).center());
        EXPECT_EQ(dialog->directory().absolutePath(), QDir(m_dir.path()).absolutePath());

        // A right click on the list opens no menu. Should one open, it is closed and noticed.
        bool sawMenu = false;
        QTimer::singleShot(0, qApp, [&sawMenu] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                sawMenu = true;
                popup->close();
            }
        });
        const QPoint inside = list->viewport()->rect().center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, inside, list->viewport()->mapToGlobal(inside));
        QApplication::sendEvent(list->viewport(), &menuEvent);
        QCoreApplication::processEvents();
        EXPECT_FALSE(sawMenu);
    });
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};
void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class FolderFileDialogKeyTest : public FolderFileDialogTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(FolderFileDialogKeyTest, SwallowsTheKeyEverywhereWhileOpenAndOnlyThen) {
    const KeyCase& c = GetParam();
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    // A field in another window: the keys are swallowed for every window while the picker is open.
    QLineEdit outside;
    outside.show();

    auto typeInto = [&c](QLineEdit* edit) {
        edit->setText(QStringLiteral("abc"));
        edit->setCursorPosition(1);
        edit->setSelection(0, 2);
        QTest::keyClick(edit, c.key, c.modifiers);
        return edit->text();
    };

    auto picker = MakePicker();
    QString inPicker;
    QString inOtherWindow;
    QString ordinaryKey;
    bool fileKept = false;
    Run(*picker, [&](QFileDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        inPicker = typeInto(edit);
        inOtherWindow = typeInto(&outside);
        // An ordinary key still reaches the field, so the field does take keys.
        edit->setText(QStringLiteral("abc"));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Z);
        ordinaryKey = edit->text();

        // On the list with a file selected.
        auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        ASSERT_NE(list, nullptr);
        dialog->selectFile(Path(QStringLiteral("a.txt")));
        list->setFocus();
        QTest::keyClick(list, c.key, c.modifiers);
        QCoreApplication::processEvents();
        fileKept = QFile::exists(Path(QStringLiteral("a.txt")));
    });
    EXPECT_EQ(inPicker, QStringLiteral("abc"));
    EXPECT_EQ(inOtherWindow, QStringLiteral("abc"));
    EXPECT_EQ(ordinaryKey, QStringLiteral("z"));
    EXPECT_TRUE(fileKept);

    // Closed, the picker leaves the keys alone again.
    EXPECT_NE(typeInto(&outside), QStringLiteral("abc"));
}

INSTANTIATE_TEST_SUITE_P(Keys, FolderFileDialogKeyTest,
                         ::testing::Values(KeyCase{"Delete", Qt::Key_Delete, Qt::NoModifier},
                                           KeyCase{"ShiftDelete", Qt::Key_Delete, Qt::ShiftModifier},
                                           KeyCase{"CtrlX", Qt::Key_X, Qt::ControlModifier},
                                           KeyCase{"CtrlV", Qt::Key_V, Qt::ControlModifier},
                                           KeyCase{"ShiftInsert", Qt::Key_Insert, Qt::ShiftModifier}),
                         [](const ::testing::TestParamInfo<KeyCase>& info) {
                             return std::string(info.param.name);
                         });
