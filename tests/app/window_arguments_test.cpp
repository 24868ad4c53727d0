// The window program's command line: what ends it before a window opens, and the file it starts with.
#include "app/window_arguments.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "qstring_printer.h"

namespace {

struct CommandLineCase {
    const char* name;
    QStringList arguments; // after the program's path; "%DIR%" stands for a folder holding LBA.TXT
    int exitStatus;
    const char* output; // a text the standard output must hold
    const char* error;  // a text the standard error must hold
    QString folderText; // "%DIR%" as above
    QString fileName;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

} // namespace

TEST_P(CommandLineTest, AnswersOrNamesTheFileToOpen) {
    const CommandLineCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile listing(dir.filePath(QStringLiteral("LBA.TXT")));
    ASSERT_TRUE(listing.open(QIODevice::WriteOnly));
    listing.close();
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));

    QStringList arguments{QStringLiteral("/usr/bin/quarrow")};
    for (QString argument : c.arguments)
        arguments.append(argument.replace(QStringLiteral("%DIR%"), dir.path()));
    const WindowCommandLine answer = ParseWindowCommandLine(arguments);
    QDir::setCurrent(previous);

    EXPECT_EQ(answer.exitStatus, c.exitStatus);
    EXPECT_TRUE(answer.output.contains(QString::fromUtf8(c.output))) << answer.output.toStdString();
    EXPECT_TRUE(answer.error.contains(QString::fromUtf8(c.error))) << answer.error.toStdString();
    EXPECT_EQ(answer.output.isEmpty(), *c.output == '\0');
    EXPECT_EQ(answer.error.isEmpty(), *c.error == '\0');
    EXPECT_EQ(answer.folderText, QString(c.folderText).replace(QStringLiteral("%DIR%"), dir.path()));
    EXPECT_EQ(answer.fileName, c.fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Window, CommandLineTest,
    ::testing::Values(
        CommandLineCase{"nothing", {}, -1, "", "", QString(), QString()},
        CommandLineCase{
            "version", {"--version"}, 0, "quarrow " QUARROW_VERSION "\n", "", QString(), QString()},
        CommandLineCase{"help", {"--help"}, 0, "Usage: quarrow [options] [file]", "", QString(), QString()},
        CommandLineCase{
            "help before a file", {"LBA.TXT", "--help-all"}, 0, "--version", "", QString(), QString()},
        CommandLineCase{"relative file", {"LBA.TXT"}, -1, "", "", "%DIR%/", "LBA.TXT"},
        CommandLineCase{"absolute file", {"%DIR%/LBA.TXT"}, -1, "", "", "%DIR%/", "LBA.TXT"},
        CommandLineCase{"file after Qt's options",
                        {"-platform", "offscreen", "--style=Fusion", "-reverse", "%DIR%/./LBA.TXT"},
                        -1,
                        "",
                        "",
                        "%DIR%/",
                        "LBA.TXT"},
        CommandLineCase{
            "missing file", {"NONE.TXT"}, 2, "", "quarrow: NONE.TXT: No such file", QString(), QString()},
        CommandLineCase{"folder", {"%DIR%"}, 2, "", "Not a regular file", QString(), QString()},
        CommandLineCase{"two files", {"LBA.TXT", "LBA.TXT"}, 2, "", "one file at most", QString(), QString()},
        CommandLineCase{"unknown option", {"--sort"}, 2, "", "Unknown option 'sort'", QString(), QString()}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(FolderFieldText, EndsInOneSlashLikeBrowse) {
    EXPECT_EQ(FolderFieldText(QStringLiteral("/discs/one/LBA.TXT")), QStringLiteral("/discs/one/"));
    EXPECT_EQ(FolderFieldText(QStringLiteral("/LBA.TXT")), QStringLiteral("/"));
}
