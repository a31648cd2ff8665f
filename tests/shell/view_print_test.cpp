// The editor prints within its print margins, 720 twips from every edge of the paper, and nothing
// of its own around them.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include "tests/shell/view_harness.h"

namespace {

int PdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = file.readAll();
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page/") + pdf.count("/Type /Page>"));
}

TEST(ViewPrint, PrintsWithinHalfAnInchOfTheEdges) {
    // An A4 page holds 67 lines of 10 point text within half an inch of its edges; a further 2 cm
    // of margins would leave room for 58, and 125 lines would take three pages.
    const struct {
        int lines;
        int pages;
    } cases[] = {{1, 1}, {125, 2}};
    QTemporaryDir dir;
    for (const auto& c : cases) {
        ViewPanes doc(QStringLiteral("Println 1\n").repeated(c.lines));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(dir.filePath(QString::number(c.lines) + ".pdf"));
        doc.view.Print(&printer);
        EXPECT_EQ(printer.pageLayout().margins(QPageLayout::Point), QMarginsF(36, 36, 36, 36));
        EXPECT_EQ(PdfPages(printer.outputFileName()), c.pages) << c.lines << " lines";
    }
}

}  // namespace
