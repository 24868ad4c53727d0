// quarrow-cli order, seek and plot as processes: the listing's own bytes in read order, the figures as
// text and JSON, errors naming the trace's line, and pictures that parse and decode at their size.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "cli_process.h"

namespace {

// Three files at blocks 0x20-0x21, 0x22 and 0x30; the last line has no line end, the others CR LF, and
// one name holds bytes that are not UTF-8.
const std::string kListing = "00000020|00001000|FIRST.BIN\r\n"
                             "00000022|00000010|SECOND \xff.DAT\r\n"
                             "00000030|00000800|THIRD";

class CliTraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        Write("listing.txt", kListing);
    }
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    void Write(const char* name, const std::string& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::string Read(const char* name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    QTemporaryDir m_dir;
};

TEST_F(CliTraceTest, OrderWritesTheListingsOwnLinesInFirstReadOrder) {
    // The third file, then a read spanning the first two, the third again, a directory block.
    Write("reads.lba", "0x30\n33 2\n0x30\n18\n");
    struct Case {
        QStringList options;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {{QStringLiteral("-o"), QStringLiteral("-")},
         "00000030|00000800|THIRD\r\n00000020|00001000|FIRST.BIN\r\n00000022|00000010|SECOND \xff.DAT\r\n",
         "reads: 4, files read: 3, files never read: 0\n"},
        {{},
         "00000030|00000800|THIRD\r\n00000020|00001000|FIRST.BIN\r\n00000022|00000010|SECOND \xff.DAT\r\n",
         "reads: 4, files read: 3, files never read: 0\n"},
    };
    for (const Case& c : cases) {
        const ProcessResult result = RunCli(QStringList{QStringLiteral("order"), Path("listing.txt"),
                                                        QStringLiteral("--trace"), Path("reads.lba")} +
                                            c.options);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, c.err);
    }
    // To a file: the summary goes to stdout; files never read follow, or lead with --untouched first. The
    // last line, which has no line end, gets the listing's own.
    Write("reads2.lba", "0x22\n");
    for (const char* where : {"last", "first"}) {
        const ProcessResult result =
            RunCli({QStringLiteral("order"), Path("listing.txt"), QStringLiteral("--trace"),
                    Path("reads2.lba"), QStringLiteral("--untouched"), QString::fromUtf8(where),
                    QStringLiteral("-o"), Path("ordered.txt")});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "reads: 1, files read: 1, files never read: 2\n");
        EXPECT_EQ(Read("ordered.txt"),
                  std::string(where) == "last"
                      ? "00000022|00000010|SECOND "
                        "\xff.DAT\r\n00000020|00001000|FIRST.BIN\r\n00000030|00000800|THIRD\r\n"
                      : "00000020|00001000|FIRST.BIN\r\n00000030|00000800|THIRD\r\n00000022|00000010|SECOND "
                        "\xff.DAT\r\n");
    }
}

TEST_F(CliTraceTest, SeekPrintsTheFiguresBeforeAndAfter) {
    // Blocks 0x30, 0x20-0x21, 0x22: one seek of 0x31 - 0x20 = 17 blocks; 4 blocks of data.
    Write("reads.lba", "48\n32 2\n34\n");
    // The new layout puts THIRD first: 0x20, FIRST 0x21-0x22, SECOND 0x23. One read, no seek.
    Write("new.txt",
          "00000020|00000800|THIRD\n00000021|00001000|FIRST.BIN\n00000023|00000010|SECOND \xff.DAT\n");
    const ProcessResult text = RunCli({QStringLiteral("seek"), Path("listing.txt"), QStringLiteral("--trace"),
                                       Path("reads.lba"), QStringLiteral("--new"), Path("new.txt")});
    EXPECT_EQ(text.status, 0) << text.err;
    // 0.1 s + 8 KiB at 1385 KiB/s = 0.10578 s before, 0.00578 s after: 94.5% saved.
    EXPECT_EQ(text.out, "before: reads 3, seeks 1, travel 17 blocks, estimated 0.106 s\n"
                        "after: reads 3, seeks 0, travel 0 blocks, estimated 0.006 s\n"
                        "saved: 94.5% of the estimated time\n");
    const ProcessResult json =
        RunCli({QStringLiteral("seek"), Path("listing.txt"), QStringLiteral("--trace"), Path("reads.lba"),
                QStringLiteral("--json"), QStringLiteral("--seek-ms"), QStringLiteral("10"),
                QStringLiteral("--kib-per-s"), QStringLiteral("8")});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(
        json.out,
        "{\"before\": {\"reads\": 3, \"seeks\": 1, \"travel_blocks\": 17, \"estimated_seconds\": 1.010}}\n");
}

TEST_F(CliTraceTest, BadTracesAndOptionsEndWithStatusTwoNamingTheLine) {
    Write("bad.lba", "12\n0x1G\n");
    Write("bad.blk", "  8,0 1 1 0.1 5 D R 10 + 8 [a]\n  8,0 1 2 0.1 5 D R 10 - 8 [a]\n");
    struct Case {
        QStringList args;
        std::string err;
    };
    const Case cases[] = {
        {{QStringLiteral("order"), Path("listing.txt"), QStringLiteral("--trace"), Path("bad.lba")},
         ":2: not a line \"BLOCK [COUNT]\"\n"},
        {{QStringLiteral("seek"), Path("listing.txt"), QStringLiteral("--trace"), Path("bad.blk")},
         ":2: a read event without \"SECTOR + COUNT\"\n"},
        {{QStringLiteral("seek"), Path("listing.txt"), QStringLiteral("--trace"), Path("bad.lba"),
          QStringLiteral("--format"), QStringLiteral("csv")},
         "unknown trace format 'csv' (lba, strace or blkparse)\n"},
        {{QStringLiteral("order"), Path("listing.txt")}, "--trace TRACE is required\n"},
        {{QStringLiteral("plot"), Path("listing.txt"), QStringLiteral("-o"), Path("x.jpg")},
         "plot: -o FILE.svg or -o FILE.png is required\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const ProcessResult result = RunCli(c.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.ends_with(c.err)) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

TEST_F(CliTraceTest, PlotWritesAnSvgThatParsesAndAPngThatDecodesAtTheirSize) {
    Write("reads.lba", "48\n32 2\n34\n");
    Write("new.txt",
          "00000020|00000800|THIRD\n00000021|00001000|FIRST.BIN\n00000023|00000010|SECOND \xff.DAT\n");
    struct Case {
        QStringList options;
        QSize size;
    };
    const Case cases[] = {
        {{}, QSize(1200, 200)},
        {{QStringLiteral("--trace"), Path("reads.lba"), QStringLiteral("--width"), QStringLiteral("640")},
         QSize(640, 700)},
        {{QStringLiteral("--trace"), Path("reads.lba"), QStringLiteral("--new"), Path("new.txt"),
          QStringLiteral("--height"), QStringLiteral("480")},
         QSize(1200, 480)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(QLatin1Char(' ')).toStdString());
        const ProcessResult svg = RunCli(
            QStringList{QStringLiteral("plot"), Path("listing.txt"), QStringLiteral("-o"), Path("p.svg")} +
            c.options);
        ASSERT_EQ(svg.status, 0) << svg.err;
        QXmlStreamReader xml(QByteArray::fromStdString(Read("p.svg")));
        QString viewBox;
        int rects = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QStringLiteral("svg"))
                viewBox = xml.attributes().value(QStringLiteral("viewBox")).toString();
            rects += xml.name() == QStringLiteral("rect");
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_EQ(viewBox, QStringLiteral("0 0 %1 %2").arg(c.size.width()).arg(c.size.height()));
        EXPECT_GT(rects, 5);

        const ProcessResult png = RunCli(
            QStringList{QStringLiteral("plot"), Path("listing.txt"), QStringLiteral("-o"), Path("p.png")} +
            c.options);
        ASSERT_EQ(png.status, 0) << png.err;
        EXPECT_TRUE(png.err.empty()) << png.err;
        const QImage image(Path("p.png"), "PNG");
        EXPECT_EQ(image.size(), c.size);
    }
}

} // namespace
