#include "editor/preview_form.h"

#include "editor/hex_print.h"
#include "i18n/texts.h"

#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

// Fit, then fixed steps of the 1000-pixel page picture.
constexpr std::array<int, 6> cZooms{0, 50, 75, 100, 150, 200};

QPushButton* MakeButton(QWidget* aParent, QHBoxLayout* aRow, const char* aName,
                        const QString& aText)
{
    auto* b = new QPushButton(aText, aParent);
    b->setObjectName(QString::fromLatin1(aName));
    b->setAutoDefault(false);
    aRow->addWidget(b);
    return b;
}

} // namespace

TfmPreview::TfmPreview(QWidget* aParent) : QDialog(aParent)
{
    setObjectName(QStringLiteral("fmPreview"));
    setWindowTitle(QStringLiteral("Print preview"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    PrintBtn = MakeButton(this, row, "PrintBtn", say_preview_print);
    PrevBtn = MakeButton(this, row, "PrevBtn", say_preview_previous);
    PageLabel = new QLabel(this);
    PageLabel->setObjectName(QStringLiteral("PageLabel"));
    row->addWidget(PageLabel);
    NextBtn = MakeButton(this, row, "NextBtn", say_preview_next);
    ZoomOutBtn = MakeButton(this, row, "ZoomOutBtn", say_preview_zoom_out);
    ZoomInBtn = MakeButton(this, row, "ZoomInBtn", say_preview_zoom_in);
    row->addStretch(1);
    CloseBtn = MakeButton(this, row, "CloseBtn", say_preview_close);
    Scroller = new QScrollArea(this);
    Scroller->setObjectName(QStringLiteral("Scroller"));
    Scroller->setAlignment(Qt::AlignCenter);
    Scroller->setBackgroundRole(QPalette::Dark);
    column->addWidget(Scroller, 1);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Scroller->setWidget(Image1);
    Scroller->setWidgetResizable(false);
    // The fitted size follows the visible area, known only once laid out.
    Scroller->viewport()->installEventFilter(this);
    resize(720, 540);

    connect(PrintBtn, &QPushButton::clicked, this, &TfmPreview::printRequested);
    connect(PrevBtn, &QPushButton::clicked, this, [this] { TurnTo(fPage - 1); });
    connect(NextBtn, &QPushButton::clicked, this, [this] { TurnTo(fPage + 1); });
    connect(ZoomOutBtn, &QPushButton::clicked, this, [this] { StepZoom(-1); });
    connect(ZoomInBtn, &QPushButton::clicked, this, [this] { StepZoom(1); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
}

void TfmPreview::ShowPages(TPreviewPages* aPages)
{
    fPages = aPages;
    fPage = 0;
    TurnTo(1);
}

void TfmPreview::TurnTo(int aPage)
{
    if (!fPages || aPage == fPage || !fPages->HasPage(aPage))
        return;
    fPage = aPage;
    Image1->setPixmap(QPixmap::fromImage(fPages->Page(aPage)));
    PageLabel->setText(PageFooter(aPage));
    PrevBtn->setEnabled(fPages->HasPage(aPage - 1));
    NextBtn->setEnabled(fPages->HasPage(aPage + 1));
    Scroller->verticalScrollBar()->setValue(0);
    Layout();
}

void TfmPreview::StepZoom(int aSteps)
{
    const auto at = std::find(cZooms.begin(), cZooms.end(), fZoom);
    const int index = std::clamp(int(at - cZooms.begin()) + aSteps, 0, int(cZooms.size()) - 1);
    fZoom = cZooms[std::size_t(index)];
    Layout();
}

void TfmPreview::Layout()
{
    const QSize picture = Image1->pixmap().size();
    if (picture.isEmpty())
        return;
    const QSize shown =
        fZoom == 0 ? FitPicture(picture, Scroller->viewport()->size()) : picture * fZoom / 100;
    Image1->resize(shown);
    ZoomOutBtn->setEnabled(fZoom != cZooms.front());
    ZoomInBtn->setEnabled(fZoom != cZooms.back());
}

void TfmPreview::keyPressEvent(QKeyEvent* aEvent)
{
    switch (aEvent->key()) {
    case Qt::Key_PageDown: TurnTo(fPage + 1); return;
    case Qt::Key_PageUp: TurnTo(fPage - 1); return;
    case Qt::Key_Plus: StepZoom(1); return;
    case Qt::Key_Minus: StepZoom(-1); return;
    default: QDialog::keyPressEvent(aEvent);
    }
}

bool TfmPreview::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aWatched == Scroller->viewport() && aEvent->type() == QEvent::Resize && fZoom == 0)
        Layout();
    return QDialog::eventFilter(aWatched, aEvent);
}
