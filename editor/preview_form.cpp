#include "editor/preview_form.h"

#include "editor/hex_print.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

TfmPreview::TfmPreview(QWidget* aParent) : QDialog(aParent)
{
    setObjectName(QStringLiteral("fmPreview"));
    setWindowTitle(QStringLiteral("Print preview"));
    resize(688, 453);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 688, 453);
    Image1->setScaledContents(true);
}

void TfmPreview::ShowPage(const QImage& aPage)
{
    const QSize fitted = FitPicture(aPage.size(), size());
    Image1->setGeometry(0, 0, fitted.width(), fitted.height());
    Image1->setPixmap(QPixmap::fromImage(aPage));
}
