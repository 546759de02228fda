#include "window/save_list_view.h"

#include "window/icon_animation.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>

#include <algorithm>

namespace {

// A drag between the two lists carries which list it left and which run of
// the program made it, never the items' data: a drop starts a command that
// reads the selections itself.
const QString cListMime = QStringLiteral("application/x-cardsuite-save-list");

QByteArray dragStamp(const QString& list)
{
    return list.toUtf8() + '\n' + QByteArray::number(QCoreApplication::applicationPid());
}

// Rows drawn by the list itself: the view's own text drawing cuts a
// caption that does not fit with an ellipsis wherever the cut falls, the
// block count with it.
class SaveRowDelegate : public QStyledItemDelegate {
public:
    explicit SaveRowDelegate(TSaveListView* list) : QStyledItemDelegate(list), fList(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        // Every row as tall as the grid: a short first row must not make
        // the view give every row its height.
        return fList->gridSize() - QSize(2, 2);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString caption = index.data(TSaveListView::CaptionRole).toString();
        const qsizetype cut = caption.indexOf(QStringLiteral("\r\n"));
        const QString name = cut < 0 ? caption : caption.left(cut);
        const QString count = cut < 0 ? QString() : caption.mid(cut + 2);
        opt.text.clear();
        // The style draws the banner; the text, its selection and its focus
        // are drawn here around the lines as painted.
        const bool selected = opt.state & QStyle::State_Selected;
        const bool focused = opt.state & QStyle::State_HasFocus;
        opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect area = textArea(opt);
        const QStringList lines =
            TSaveListView::rowLines(name, count, opt.font, area.width(), area.height());
        const QFontMetrics metrics(opt.font);
        const int step = metrics.lineSpacing();
        int widest = 0;
        for (const QString& line : lines)
            widest = qMax(widest, metrics.horizontalAdvance(line));
        const QRect block(area.left() + (area.width() - widest) / 2 - 2, area.top(), widest + 4,
                          int(lines.size()) * step);
        const QPalette::ColorGroup group =
            opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        if (selected)
            painter->fillRect(block, opt.palette.brush(group, QPalette::Highlight));
        painter->setFont(opt.font);
        painter->setPen(
            opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        for (qsizetype i = 0; i < lines.size(); ++i)
            painter->drawText(QRect(area.left(), area.top() + int(i) * step, area.width(), step),
                              Qt::AlignHCenter | Qt::AlignTop, lines[i]);
        painter->restore();
        if (focused) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(opt);
            focus.rect = block;
            focus.state |= QStyle::State_KeyboardFocusChange;
            focus.backgroundColor =
                opt.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }

    // Under the banner, inside the row.
    static QRect textArea(const QStyleOptionViewItem& opt)
    {
        const int top = opt.rect.top() + opt.decorationSize.height() + 4;
        return QRect(opt.rect.left() + 2, top, opt.rect.width() - 4, opt.rect.bottom() - top);
    }

private:
    TSaveListView* fList;
};

// A name broken into at most room lines of width where it fits, the last
// one shortened when more remains.
QStringList nameLines(const QString& name, const QFont& font, int width, qsizetype room)
{
    const QFontMetrics metrics(font);
    QStringList lines;
    QTextLayout layout(name, font);
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrap);
    layout.beginLayout();
    qsizetype rest = 0;
    while (lines.size() + 1 < room) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        lines << name.mid(line.textStart(), line.textLength()).trimmed();
        rest = line.textStart() + line.textLength();
    }
    layout.endLayout();
    if (room > 0 && rest < name.size())
        lines << metrics.elidedText(name.mid(rest).trimmed(), Qt::ElideRight, width);
    return lines;
}

} // namespace

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
    // A static layout takes drops off the viewport, where the view receives
    // them: without this, a drop lands on a widget that ignores it.
    viewport()->setAcceptDrops(true);
    setItemDelegate(new SaveRowDelegate(this));
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
    return nameLines(name, font(), captionWidth(), 2).join(QLatin1Char('\n'));
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

QStringList TSaveListView::rowLines(const QString& name, const QString& count, const QFont& font,
                                    int width, int height)
{
    const QFontMetrics metrics(font);
    // The count's line is kept first; the name has what is left.
    const qsizetype room = qMax(0, height / metrics.lineSpacing() - 1);
    QStringList lines = nameLines(name, font, width, room);
    lines << metrics.elidedText(count, Qt::ElideRight, width);
    return lines;
}

namespace {

// The block count as the caption's second line has it: "(3)".
QString countOf(const QString& caption)
{
    const qsizetype cut = caption.indexOf(QStringLiteral("\r\n"));
    return cut < 0 ? QString() : caption.mid(cut + 2);
}

} // namespace

QStringList TSaveListView::paintedLines(const QListWidgetItem* item) const
{
    QStyleOptionViewItem opt;
    initViewItemOption(&opt);
    opt.rect = visualItemRect(item);
    const QRect area = SaveRowDelegate::textArea(opt);
    return rowLines(nameOf(item), countOf(item->data(CaptionRole).toString()), font(), area.width(),
                    area.height());
}

void TSaveListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void TSaveListView::keyPressEvent(QKeyEvent* event)
{
    // Enter on a selection does what a double-click does: it copies.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier && !selectedItems().isEmpty()) {
        event->accept();
        emit doubleClicked();
        return;
    }
    QListWidget::keyPressEvent(event);
}

QStringList TSaveListView::mimeTypes() const { return {cListMime}; }

QMimeData* TSaveListView::mimeData(const QList<QListWidgetItem*>&) const
{
    auto* data = new QMimeData;
    data->setData(cListMime, dragStamp(objectName()));
    return data;
}

namespace {

QStringList localFilesEndingIn(const QList<QUrl>& urls, std::initializer_list<QLatin1String> ends)
{
    QStringList paths;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (std::find(ends.begin(), ends.end(), suffix) != ends.end())
            paths << path;
    }
    return paths;
}

} // namespace

QStringList TSaveListView::saveFilesIn(const QList<QUrl>& urls)
{
    return localFilesEndingIn(urls,
                              {QLatin1String("gci"), QLatin1String("gcs"), QLatin1String("sav")});
}

QStringList TSaveListView::cardImagesIn(const QList<QUrl>& urls)
{
    return localFilesEndingIn(urls, {QLatin1String("raw"), QLatin1String("gcp")});
}

TSaveListView* TSaveListView::dragSource(const QMimeData* data) const
{
    if (!data || !data->hasFormat(cListMime))
        return nullptr;
    const QByteArray stamp = data->data(cListMime);
    const QString list = QString::fromUtf8(stamp.left(stamp.indexOf('\n')));
    if (stamp != dragStamp(list))
        return nullptr; // another run's list, or not a list at all
    return window()->findChild<TSaveListView*>(list);
}

bool TSaveListView::acceptsDrag(const QMimeData* data) const
{
    if (dragSource(data))
        return true;
    return fAcceptsFiles && data && data->hasUrls() &&
           (!saveFilesIn(data->urls()).isEmpty() || !cardImagesIn(data->urls()).isEmpty());
}

void TSaveListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptsDrag(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TSaveListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsDrag(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TSaveListView::dropEvent(QDropEvent* event)
{
    // The items stay where they are: a drop starts a copy command, which
    // rebuilds the lists itself. It runs once the drag has ended, so the
    // command's questions are not asked from inside the drag.
    if (TSaveListView* source = dragSource(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        QMetaObject::invokeMethod(
            this, [this, source] { emit droppedFrom(source); }, Qt::QueuedConnection);
        return;
    }
    const QList<QUrl> urls =
        fAcceptsFiles && event->mimeData()->hasUrls() ? event->mimeData()->urls() : QList<QUrl>();
    const QStringList files = saveFilesIn(urls);
    const QStringList images = cardImagesIn(urls);
    if (files.isEmpty() && images.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (files.isEmpty()) {
        const QString image = images.front();
        QMetaObject::invokeMethod(
            this, [this, image] { emit cardImageDropped(image); }, Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, files] { emit filesDropped(files); }, Qt::QueuedConnection);
}
