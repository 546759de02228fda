// Printing into PDF files, the preview's page picture, and what the user is
// told when printing cannot go on.
#include "save_edit_fixture.h"

#include "editor/hex_print.h"
#include "editor/preview_form.h"
#include "hexedit/hexeditor.h"
#include "hexedit/hextocanvas.h"
#include "i18n/texts.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

#include <limits>

namespace {

class PrintTest : public SaveEditTest {
protected:
    QString Pdf() const { return seam.printer.outputFileName(); }

    // Bytes one printed page holds, measured on a scratch copy of the
    // printer with the renderer set up as the window sets it up.
    int32_t BytesPerPage()
    {
        QPrinter scratch(QPrinter::HighResolution);
        scratch.setOutputFormat(QPrinter::PdfFormat);
        scratch.setOutputFileName(Path("scratch.pdf"));
        scratch.setPageLayout(seam.printer.pageLayout());
        scratch.setResolution(seam.printer.resolution());
        THexToCanvas& r = *form.HexToCanvas1;
        r.SetStretchToFit(false);
        r.GetLayout();
        SetPageMargins(r, scratch.width(), scratch.height());
        QPainter p(&scratch);
        return r.Draw(p, 0, std::numeric_limits<int32_t>::max(), QStringLiteral("h"),
                      QStringLiteral("Page 1"));
    }

    // Runs a command that shows the preview modally and looks at the
    // preview while it is up.
    void WithPreview(const std::function<void(TfmPreview&)>& aLook)
    {
        bool seen = false;
        // Opening the menus runs the event loop too: wait for the preview.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* preview = qobject_cast<TfmPreview*>(QApplication::activeModalWidget());
            if (!preview)
                return;
            poll.stop();
            seen = true;
            aLook(*preview);
            preview->close();
        });
        poll.start(5);
        Choose(form.Printpreview1);
        EXPECT_TRUE(seen);
    }
};

// Data sizes in whole pages plus bytes, as one page's size is known only
// once the fixture has measured it.
struct PageCountCase {
    const char* name;
    int32_t wholePages;
    int32_t extraBytes;
    int pages;
};

void PrintTo(const PageCountCase& c, std::ostream* os) { *os << c.name; }

class PageCounts : public PrintTest, public testing::WithParamInterface<PageCountCase> {};

TEST_P(PageCounts, PagesEndWhereTheDataEndsWithoutAnEmptyPage)
{
    if (!HavePdfTools())
        GTEST_SKIP() << "pdfinfo and pdftotext are needed to read the printed pages";
    const PageCountCase& c = GetParam();
    Load(QByteArray(20000, '\x5A'));
    const int32_t perPage = BytesPerPage();
    ASSERT_GT(perPage, 160);
    ASSERT_EQ(perPage % 16, 0);
    const int32_t size = c.wholePages * perPage + c.extraBytes;
    QFile::remove(Pdf());
    Load(QByteArray(size, '\x5A'));
    Choose(form.Print1);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(PdfPages(Pdf()), c.pages) << size << " bytes";
    const QString text = PdfText(Pdf());
    EXPECT_TRUE(text.contains(QStringLiteral("Vantrel:temp.~ic")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page %1").arg(c.pages)));
    EXPECT_FALSE(text.contains(QStringLiteral("Page %1").arg(c.pages + 1)));
    EXPECT_TRUE(text.contains(QStringLiteral(":5A 5A 5A")));
}

INSTANTIATE_TEST_SUITE_P(PrintTest, PageCounts,
                         testing::Values(PageCountCase{"LessThanAPage", 0, 64, 1},
                                         PageCountCase{"OneFullPage", 1, 0, 1},
                                         PageCountCase{"TwoFullPages", 2, 0, 2},
                                         PageCountCase{"OneByteOverTwoPages", 2, 1, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintTest, TheDecimalLayoutPrintsDecimalBytesAndLastsAcrossShowings)
{
    if (!HavePdfTools())
        GTEST_SKIP() << "pdftotext is needed to read the printed page";
    Load(QByteArray(64, '\xC8'));
    Choose(form.Decimal1);
    form.close();
    ASSERT_FALSE(form.isVisible());
    form.show();
    Load(QByteArray(64, '\xC8'));
    Open(form.Printlayout1);
    EXPECT_TRUE(form.Decimal1->isChecked());
    EXPECT_FALSE(form.Hex2->isChecked());
    Choose(form.Print1);
    const QString text = PdfText(Pdf());
    EXPECT_TRUE(text.contains(QStringLiteral("200 200 200"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("C8"))) << text.toStdString();
    // The screen keeps its own layout.
    EXPECT_EQ(form.HexEditor1->OffsetDisplay(), odHex);
}

TEST_F(PrintTest, ThePreviewDrawsThePageOnAPictureAThousandPixelsWide)
{
    seam.PageOf(8, 11, 600);
    ASSERT_EQ(seam.printer.width(), 4800);
    ASSERT_EQ(seam.printer.height(), 6600);
    Load(QByteArray(20000, '\x5A'));
    WithPreview([&](TfmPreview& preview) {
        EXPECT_EQ(preview.windowTitle(), QStringLiteral("Print preview"));
        EXPECT_EQ(preview.Image1->pixmap().size(), QSize(1000, 1375));
        // Fitted into the visible area with the page's proportions.
        const QSize area = preview.Scroller->viewport()->size();
        EXPECT_EQ(preview.Image1->size(), FitPicture({1000, 1375}, area));
        EXPECT_TRUE(preview.Image1->size().height() == area.height() ||
                    preview.Image1->size().width() == area.width());
        const THexToCanvas& r = *form.HexToCanvas1;
        EXPECT_EQ(r.TopMargin(), 68);
        EXPECT_EQ(r.BottomMargin(), 1307);
        EXPECT_EQ(r.LeftMargin(), 50);
        EXPECT_EQ(r.RightMargin(), 950);
        // Ink below the footer's line or right of the text area would be
        // text drawn outside the page's margins.
        const QImage page = preview.Image1->pixmap().toImage();
        for (int y = 1308; y < page.height(); y += 3)
            for (int x = 0; x < page.width(); x += 3)
                ASSERT_EQ(page.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
    });
    EXPECT_FALSE(QFile::exists(Pdf()));
}

// Pages turned with the buttons and keys, zoom steps, Print and Close, all
// through the preview's own controls.
TEST_F(PrintTest, ThePreviewTurnsPagesZoomsPrintsAndCloses)
{
    i18n::fillTexts(i18n::Language::English);
    Load(QByteArray(20000, '\x5A'));
    const int32_t perPage = BytesPerPage();
    Load(QByteArray(3 * perPage, '\x5A')); // three pages on paper
    form.SetDocumentName(QStringLiteral("GAAE01 my save"));
    QFile::remove(Pdf());
    bool closed = false;
    WithPreview([&](TfmPreview& preview) {
        EXPECT_EQ(preview.PrintBtn->text(), QStringLiteral("Print"));
        EXPECT_EQ(preview.CloseBtn->text(), QStringLiteral("Close"));
        EXPECT_EQ(preview.CurrentPage(), 1);
        EXPECT_FALSE(preview.PrevBtn->isEnabled());
        const QImage first = preview.Image1->pixmap().toImage();
        QTest::mouseClick(preview.NextBtn, Qt::LeftButton);
        EXPECT_EQ(preview.CurrentPage(), 2);
        EXPECT_EQ(preview.PageLabel->text(), QStringLiteral("Page 2"));
        EXPECT_NE(preview.Image1->pixmap().toImage(), first);
        // On to the last page.
        int last = 2;
        while (preview.NextBtn->isEnabled() && last < 50) {
            QTest::keyClick(&preview, Qt::Key_PageDown);
            ASSERT_EQ(preview.CurrentPage(), ++last);
        }
        EXPECT_GE(last, 3);
        QTest::keyClick(&preview, Qt::Key_PageDown); // no empty page after it
        EXPECT_EQ(preview.CurrentPage(), last);
        QTest::mouseClick(preview.PrevBtn, Qt::LeftButton);
        EXPECT_EQ(preview.CurrentPage(), last - 1);
        while (preview.PrevBtn->isEnabled())
            QTest::keyClick(&preview, Qt::Key_PageUp);
        EXPECT_EQ(preview.CurrentPage(), 1);
        EXPECT_EQ(preview.Image1->pixmap().toImage(), first);

        EXPECT_EQ(preview.Zoom(), 0);
        EXPECT_FALSE(preview.ZoomOutBtn->isEnabled());
        QTest::mouseClick(preview.ZoomInBtn, Qt::LeftButton);
        EXPECT_EQ(preview.Image1->width(), 500);
        QTest::mouseClick(preview.ZoomInBtn, Qt::LeftButton);
        QTest::mouseClick(preview.ZoomInBtn, Qt::LeftButton);
        EXPECT_EQ(preview.Image1->width(), 1000);
        QTest::mouseClick(preview.ZoomOutBtn, Qt::LeftButton);
        EXPECT_EQ(preview.Image1->width(), 750);

        QTest::mouseClick(preview.PrintBtn, Qt::LeftButton);
        EXPECT_TRUE(QFile::exists(Pdf()));
        EXPECT_TRUE(preview.isVisible());
        QTest::mouseClick(preview.CloseBtn, Qt::LeftButton);
        closed = !preview.isVisible();
    });
    EXPECT_TRUE(closed);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    if (HavePdfTools()) {
        EXPECT_EQ(PdfPages(Pdf()), 3);
        // The header names the save, not the working file it is kept in.
        const QString text = PdfText(Pdf());
        EXPECT_TRUE(text.contains(QStringLiteral("Vantrel:GAAE01 my save"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("temp.~ic")));
    }
}

TEST(PreviewGeometry, ThePictureKeepsThePagesProportionsAndFitsTheWindow)
{
    EXPECT_EQ(PreviewBitmapSize({4800, 6600}), QSize(1000, 1375));
    // Halves round to even.
    EXPECT_EQ(PreviewBitmapSize({2000, 1001}), QSize(1000, 500));
    EXPECT_EQ(PreviewBitmapSize({2000, 1003}), QSize(1000, 502));
    EXPECT_EQ(FitPicture({1000, 1375}, {688, 453}), QSize(329, 453));
    EXPECT_EQ(FitPicture({1000, 500}, {688, 453}), QSize(688, 344));
}

TEST_F(PrintTest, APageTooShortForOneLineStopsPrintingAndSaysSo)
{
    seam.PageOf(8, 0.3, 600);
    Load(QByteArray(64, '\x5A'));
    Choose(form.Print1);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("The page is too small")));
    if (HavePdfTools() && QFile::exists(Pdf())) {
        EXPECT_LE(PdfPages(Pdf()), 1);
    }
}

TEST_F(PrintTest, WithoutAPrinterPrintSaysSoAndSetupUsesTheSeam)
{
    seam.canPrint = false;
    Load(QByteArray(64, '\x5A'));
    Choose(form.Print1);
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.value(0).startsWith(QStringLiteral("No printer is installed")));
    EXPECT_FALSE(QFile::exists(Pdf()));
    Choose(form.Printsetup1);
    EXPECT_EQ(seam.setups, 1);
}

TEST(SystemPrintSeam, TakesAJobOnlyWhenAPrinterOrAFileIsThere)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a printer is installed here";
    TSystemPrintSeam seam;
    EXPECT_FALSE(seam.CanPrint());
    QTemporaryDir dir;
    seam.Printer().setOutputFileName(dir.filePath(QStringLiteral("chosen.pdf")));
    EXPECT_TRUE(seam.CanPrint());
}

TEST_F(PrintTest, AnEmptyDocumentIsNeitherPrintedNorPreviewed)
{
    form.HexEditor1->CreateEmptyFile(QStringLiteral("Untitled"));
    form.Print1Click();
    form.Printpreview1Click(); // would wait for a preview window that never closes
    EXPECT_FALSE(QFile::exists(Pdf()));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

} // namespace
