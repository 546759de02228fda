#include "save_edit_fixture.h"

#include "hexedit/hexeditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QPageLayout>
#include <QPageSize>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

PdfPrintSeam::PdfPrintSeam(const QString& aFile)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(aFile);
    printer.setPageSize(QPageSize(QPageSize::A4));
}

void PdfPrintSeam::PageOf(double aWidth, double aHeight, int aDpi)
{
    printer.setResolution(aDpi);
    printer.setPageLayout(QPageLayout(QPageSize(QSizeF(aWidth, aHeight), QPageSize::Inch),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

SaveEditTest::SaveEditTest()
{
    skin::installDialogs(&dialogs);
    InstallPrintSeam(&seam);
    // The window's search and print choices last a whole run; each test
    // starts from the run's beginning.
    TSaveEditForm::FindPos = -1;
    TSaveEditForm::FindBuf.clear();
    TSaveEditForm::FindLen = 0;
    TSaveEditForm::FindStr.clear();
    TSaveEditForm::FindICase = false;
    TSaveEditForm::JumpOffs = 4000;
    TSaveEditForm::CanvasDisplay = odHex;
    QGuiApplication::clipboard()->clear();
    form.show();
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    form.HexEditor1->setFocus();
    Settle();
}

SaveEditTest::~SaveEditTest()
{
    InstallPrintSeam(nullptr);
    skin::installDialogs(nullptr);
}

void SaveEditTest::Load(const QByteArray& aBytes, const QString& aName)
{
    QFile f(Path(aName));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(aBytes), aBytes.size());
    f.close();
    ASSERT_TRUE(form.HexEditor1->LoadFromFile(Path(aName)));
    Settle();
}

QByteArray SaveEditTest::Content()
{
    int32_t count = form.HexEditor1->DataSize();
    return count == 0 ? QByteArray() : form.HexEditor1->BufferFromFile(0, count);
}

QByteArray SaveEditTest::FileBytes(const QString& aPath)
{
    QFile f(aPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void SaveEditTest::Settle()
{
    QApplication::processEvents();
    QApplication::processEvents();
}

void SaveEditTest::Key(Qt::Key aKey, Qt::KeyboardModifiers aModifiers)
{
    QTest::keyClick(form.HexEditor1, aKey, aModifiers);
    Settle();
}

void SaveEditTest::Open(QMenu* aMenu)
{
    aMenu->popup(QPoint(0, 0));
    QApplication::processEvents();
    aMenu->hide();
}

void SaveEditTest::Choose(QAction* aItem)
{
    std::vector<QMenu*> path;
    for (auto* m = qobject_cast<QMenu*>(aItem->parent()); m; m = qobject_cast<QMenu*>(m->parent()))
        path.insert(path.begin(), m);
    for (QMenu* m : path) {
        Open(m);
        if (!m->menuAction()->isEnabled() || !m->menuAction()->isVisible())
            return;
    }
    aItem->trigger();
    Settle();
}

bool HavePdfTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

static QString Run(const QString& aProgram, const QStringList& aArguments)
{
    QProcess p;
    p.start(aProgram, aArguments);
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString& aPath)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(Run(QStringLiteral("pdfinfo"), {aPath}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString PdfText(const QString& aPath)
{
    return Run(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), aPath, QStringLiteral("-")});
}
