#include "save_list_view.h"

#include "icon_animation.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QTextLayout>

#include <algorithm>

TSaveListView::TSaveListView(QWidget* parent) : QListWidget(parent)
{
    setViewMode(QListView::IconMode);
    setIconSize(bannerWithIconSize());
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setWordWrap(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setUniformItemSizes(true);
    fitGrid();
}

void TSaveListView::fitGrid()
{
    // The banner and three lines of caption, in whatever font the list has
    // (a font with Japanese glyphs is taller): a name takes up to two, the
    // block count the last.
    setGridSize(QSize(132, 32 + 3 * fontMetrics().lineSpacing() + 8));
}

void TSaveListView::changeEvent(QEvent* event)
{
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitGrid();
}

QListWidgetItem* TSaveListView::addSave(const QString& caption, int pictureIndex)
{
    auto* item = new QListWidgetItem(this);
    const qsizetype cut = caption.indexOf(QStringLiteral("\r\n"));
    item->setText(cut < 0
                      ? shownName(caption)
                      : shownName(caption.left(cut)) + QLatin1Char('\n') + caption.mid(cut + 2));
    item->setData(CaptionRole, caption);
    item->setData(PictureIndexRole, pictureIndex);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
    if (fPictures && pictureIndex >= 0 && pictureIndex < fPictures->size())
        item->setIcon(QIcon(fPictures->at(pictureIndex)));
    return item;
}

QString TSaveListView::shownName(const QString& name) const
{
    // Broken into lines here rather than by the view, so that the lines are
    // known: a third would push the block count out of the row.
    const int width = captionWidth();
    const QFontMetrics metrics(font());
    QTextLayout layout(name, font());
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrap);
    layout.beginLayout();
    QStringList lines;
    qsizetype rest = 0;
    while (lines.size() < 1) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        lines << name.mid(line.textStart(), line.textLength()).trimmed();
        rest = line.textStart() + line.textLength();
    }
    layout.endLayout();
    if (rest < name.size())
        lines << metrics.elidedText(name.mid(rest).trimmed(), Qt::ElideRight, width);
    return lines.join(QLatin1Char('\n'));
}

int TSaveListView::captionWidth() const
{
    // What the item leaves its text beside the focus frame's margins.
    return std::min(gridSize().width(), iconSize().width()) - 8;
}

QString TSaveListView::nameOf(const QListWidgetItem* item)
{
    const QString caption = item->data(CaptionRole).toString();
    const qsizetype cut = caption.indexOf(QStringLiteral("\r\n"));
    return cut < 0 ? caption : caption.left(cut);
}

QList<QListWidgetItem*> TSaveListView::selectedInOrder() const
{
    QList<QListWidgetItem*> items;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected())
            items.append(item(i));
    return items;
}

QList<CardSave> TSaveListView::selectedCardSaves() const
{
    QList<CardSave> saves;
    for (const QListWidgetItem* item : selectedInOrder())
        saves.append({nameOf(item), item->data(RawNameRole).toByteArray(),
                      item->data(RawCodeRole).toByteArray(),
                      item->data(SlotRole).isValid() ? item->data(SlotRole).toInt() : -1});
    return saves;
}

void TSaveListView::refreshPictures()
{
    for (int i = 0; i < count(); ++i) {
        const int index = item(i)->data(PictureIndexRole).toInt();
        if (fPictures && index >= 0 && index < fPictures->size())
            item(i)->setIcon(QIcon(fPictures->at(index)));
    }
}

QPixmap TSaveListView::pictureOf(const QListWidgetItem* item) const
{
    const int index = item->data(PictureIndexRole).toInt();
    return fPictures && index >= 0 && index < fPictures->size() ? fPictures->at(index) : QPixmap();
}

void TSaveListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void TSaveListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (qobject_cast<TSaveListView*>(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TSaveListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (qobject_cast<TSaveListView*>(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TSaveListView::dropEvent(QDropEvent* event)
{
    // The items stay where they are: a drop starts a copy command, which
    // rebuilds the lists itself.
    auto* source = qobject_cast<TSaveListView*>(event->source());
    if (!source) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit droppedFrom(source);
}
