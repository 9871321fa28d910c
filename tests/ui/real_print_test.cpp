// One real print: the listing goes through CUPS to its PDF printer (set up by
// print/start-cups.sh), and the pages that come out are rendered to images
// and checked line by line against the placement rules.
#include "ui/RESULT.h"
#include "ui/app/application.h"
#include "ui/listing_box/display_lines.h"
#include "ui/listing_box/listing_view.h"
#include "ui/output/print_listing.h"
#include "ui_fixture.h"
#include "window_data.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPageLayout>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

using namespace ui;
using namespace testing_ui;

namespace {

// Where cups-pdf puts this user's PDFs: its "Out" setting.
QString CupsPdfFolder() {
    QString out = QStringLiteral("${HOME}/PDF");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : conf.readAll().split('\n')) {
            if (line.startsWith("Out ")) out = QString::fromLocal8Bit(line.mid(4).trimmed());
        }
    }
    const passwd* user = ::getpwuid(::geteuid());
    return out.replace(QStringLiteral("${HOME}"), QString::fromLocal8Bit(user ? user->pw_dir : "/root"));
}

QStringList Pdfs(const QString& folder) { return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files); }

QString Run(const QString& program, const QStringList& arguments, bool* ok = nullptr) {
    QProcess process;
    process.start(program, arguments);
    const bool done =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (ok) *ok = done;
    return QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
}

// The new PDF in folder, once the queue is empty and the file is whole.
QString WaitForNewPdf(const QString& folder, const QStringList& before, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QTest::qWait(250);
        if (!Run(QStringLiteral("lpstat"), {QStringLiteral("-o")}).trimmed().isEmpty()) continue;
        for (const QString& name : Pdfs(folder)) {
            bool ok = false;
            if (!before.contains(name)) Run(QStringLiteral("pdfinfo"), {QDir(folder).filePath(name)}, &ok);
            if (ok) return QDir(folder).filePath(name);
        }
    }
    return {};
}

// A page image, addressed in printer pixels of the printable area.
struct Page {
    QImage image;
    double scale;  // image pixels per printer pixel

    // Columns with ink between the printer rows top and bottom (a pixel in
    // from each edge, so rounding never counts a neighbouring line): the
    // first and last, in printer pixels; {-1, -1} when there is none.
    std::pair<double, double> Ink(int top, int bottom) const {
        const int y0 = int(top * scale) + 1, y1 = std::min(int(bottom * scale) - 1, image.height() - 1);
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = y0; y <= y1; ++y) {
                if (qGray(image.pixel(x, y)) < 128) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
            }
        }
        return first < 0 ? std::pair(-1.0, -1.0) : std::pair(first / scale, last / scale);
    }
    bool HasInk(int top, int bottom) const { return Ink(top, bottom).first >= 0; }
};

}  // namespace

class RealPrintTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Application::Init(QStringLiteral("/opt/norvane/bin/Norvane"));
        for (const char* tool : {"pdfinfo", "pdftoppm", "lpstat"}) {
            QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
                     qPrintable(QStringLiteral("%1 is missing: install scripts/packages.txt").arg(tool)));
        }
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        QVERIFY2(!printer.isNull(), "no default printer: tests/ui/print/start-cups.sh sets up the CUPS PDF printer");
        QVERIFY2(printer.makeAndModel().contains(QStringLiteral("CUPS-PDF")),
                 qPrintable(
                     QStringLiteral("the default printer %1 is not the CUPS PDF printer").arg(printer.printerName())));
    }

    void theListingIsPrintedLineByLineThroughTheSpooler() {
        UiFixture f;
        ResultForm->show();
        ListingView& box = *ResultForm->Memo1;

        // The printer as the print command sets it up: its own printable area.
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        const QPageLayout layout = printer.pageLayout();
        printer.setPageMargins(layout.minimumMargins(), layout.units());
        const QFontMetrics fm(PrintFont(box), &printer);
        const int height = printer.height(), fh = fm.height(), lh = fh + 2;
        const int perPage = (height - 2 * lh) / lh + 1;
        QVERIFY(perPage > 10);

        // A line that the box wraps in two although it would fit the page.
        const QString block = FromUtf8("■");
        const QString longLine =
            block.repeated(box.viewport()->width() * 13 / 10 / QFontMetrics(box.font()).horizontalAdvance(block));
        QVERIFY(fm.horizontalAdvance(longLine) < printer.width());

        std::string listing =
            Sj("HEAD ■■■\r\n\r\n\t■TAB\r\n") + Sj(longLine.toStdString()) + "\r\n" + Sj("FF■\fNEXT■\r\n");
        const int fillers = perPage - 1 + 3;  // page 2 full, three lines on page 3
        for (int i = 1; i <= fillers; ++i) listing += Sj("■■ filler ") + std::to_string(i) + "\r\n";
        ResultForm->SetListing(listing);
        const std::vector<std::string> lines = DisplayLines(box);
        QCOMPARE(lines.size(), std::size_t(6 + fillers));
        QCOMPARE(lines[3] + lines[4], Sj(longLine.toStdString()));

        const QString folder = CupsPdfFolder();
        const QStringList before = Pdfs(folder);
        Choose(ResultForm->Print1);
        QVERIFY2(f.boxes.empty(), f.boxes.empty() ? "" : qPrintable(f.boxes[0].request.text));
        const QString pdf = WaitForNewPdf(folder, before, 120000);
        QVERIFY2(!pdf.isEmpty(), qPrintable(QStringLiteral("no PDF in %1 within 120 s; queue: %2")
                                                .arg(folder, Run(QStringLiteral("lpstat"), {QStringLiteral("-o")}))));
        // NORVANE_KEEP_PRINT names a folder to keep the PDF in, for a look at it.
        if (qEnvironmentVariableIsSet("NORVANE_KEEP_PRINT")) {
            QFile::copy(pdf,
                        QDir(qEnvironmentVariable("NORVANE_KEEP_PRINT")).filePath(QStringLiteral("real_print.pdf")));
        }

        // Three pages: the form feed starts page 2, the fillers run over onto page 3.
        const QString info = Run(QStringLiteral("pdfinfo"), {pdf});
        QCOMPARE(QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1), QStringLiteral("3"));
        QTemporaryDir images;
        bool ok = false;
        const QString out = Run(QStringLiteral("pdftoppm"),
                                {QStringLiteral("-r"), QStringLiteral("75"), QStringLiteral("-gray"), pdf,
                                 images.filePath(QStringLiteral("page"))},
                                &ok);
        QFile::remove(pdf);
        QVERIFY2(ok, qPrintable(out));
        // The printable area starts at the paper's corner on this printer.
        QCOMPARE(printer.pageLayout().paintRectPixels(printer.resolution()).topLeft(), QPoint(0, 0));
        std::vector<Page> pages;
        for (int i = 1; i <= 3; ++i) {
            pages.push_back(
                {QImage(images.filePath(QStringLiteral("page-%1.pgm").arg(i))), 75.0 / printer.resolution()});
            QVERIFY2(!pages.back().image.isNull(), "pdftoppm gave no image of a page");
        }

        // Page 1: the heading at the left edge, an empty line of the font's
        // height, the tab line from the first tab stop, the wrapped line as two
        // lines (the first ending where the box wrapped it), the text before the
        // form feed, and nothing below.
        const Page& p1 = pages[0];
        const int avg = fm.averageCharWidth(), yTab = lh + fh, yLong = yTab + lh, yFf = yLong + 2 * lh;
        QVERIFY(p1.HasInk(0, fh) && p1.Ink(0, fh).first < avg);
        QVERIFY(!p1.HasInk(lh, lh + fh));
        const double tab = p1.Ink(yTab, yTab + fh).first;
        QVERIFY2(tab >= 8 * avg - 8 && tab < 9 * avg,
                 qPrintable(QStringLiteral("tab line at %1, stop %2").arg(tab).arg(8 * avg)));
        const auto first = p1.Ink(yLong, yLong + fh), second = p1.Ink(yLong + lh, yLong + lh + fh);
        QVERIFY(first.first >= 0 && first.first < avg && second.first >= 0 && second.first < avg);
        const int wrapped = fm.horizontalAdvance(ToQString(lines[3]));
        QVERIFY2(std::abs(first.second - wrapped) < fh,
                 qPrintable(QStringLiteral("first part ends at %1, expected %2").arg(first.second).arg(wrapped)));
        QVERIFY(p1.HasInk(yFf, yFf + fh));
        QVERIFY(!p1.HasInk(yFf + lh, height));

        // Page 2: a full page of lines from its top; page 3: the three left over.
        for (int k = 0; k < perPage; ++k)
            QVERIFY2(pages[1].HasInk(k * lh, k * lh + fh), qPrintable(QString::number(k)));
        QVERIFY(!pages[1].HasInk(perPage * lh, height));
        for (int k = 0; k < 3; ++k) QVERIFY(pages[2].HasInk(k * lh, k * lh + fh));
        QVERIFY(!pages[2].HasInk(3 * lh, height));
    }
};

QTEST_MAIN(RealPrintTest)
#include "real_print_test.moc"
