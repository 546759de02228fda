#pragma once

// The two save lists: banners with a two-line caption, several selected at
// once, dragged from one to the other to copy.

#include "cards/card_save.h"

#include <QByteArray>
#include <QListWidget>
#include <QUrl>

class QMimeData;

class TSaveListView : public QListWidget {
    Q_OBJECT
public:
    // What an item carries besides its text.
    enum Role {
        CaptionRole = Qt::UserRole, // name + CR LF + "(" + blocks + ")"
        RawNameRole,                // a card save's name bytes, as the card holds them
        RawCodeRole,                // a card save's game code bytes
        PictureIndexRole,           // its picture in the list's picture list
        SlotRole,                   // a card save's directory slot
        // What the library tells of the save, set once per listing.
        GameRole,       // its game code, for sorting
        ModifiedRole,   // seconds since 2000 (-1 when unknown), for sorting
        BlocksRole,     // its block count, for sorting
        ListedRole,     // its position when listed
        IconFramesRole, // its icon (IconFrames)
        IconShownRole,  // the icon frame shown now
        FilePathRole,   // a save file's path as the system spells it (bytes)
    };

    explicit TSaveListView(QWidget* parent = nullptr);

    // Adds an item; its text shows the caption's two lines.
    QListWidgetItem* addSave(const QString& caption, int pictureIndex);
    // The item's name: its caption up to the line break.
    static QString nameOf(const QListWidgetItem* item);
    // A name as the row shows it: in at most two lines of the caption's
    // width, the second cut short with an ellipsis when it does not fit.
    QString shownName(const QString& name) const;
    // The width a caption line may take.
    int captionWidth() const;
    // Items in list order, selected ones only.
    QList<QListWidgetItem*> selectedInOrder() const;
    // The same for the card list, as the saves they stand for.
    QList<CardSave> selectedCardSaves() const;
    void setPictures(const QList<QPixmap>* pictures) { fPictures = pictures; }
    // Shows each item's picture from the picture list.
    void refreshPictures();
    // The item's banner in the picture list (a null pixmap when none).
    QPixmap pictureOf(const QListWidgetItem* item) const;
    // The lines an item's row shows under its banner, as painted: the name
    // in as many lines as the row has room for, shortened with an ellipsis
    // when it has more, and always the block count last.
    QStringList paintedLines(const QListWidgetItem* item) const;
    // The same for a name and its block count ("(3)") in a space of width
    // by height pixels.
    static QStringList rowLines(const QString& name, const QString& count, const QFont& font,
                                int width, int height);
    // Save files dropped from outside (a file manager) are taken here.
    void setAcceptsSaveFiles(bool accepts) { fAcceptsFiles = accepts; }
    // The save files among urls: local .gci, .gcs and .sav files.
    static QStringList saveFilesIn(const QList<QUrl>& urls);
    // The card images (.raw, .gcp) among dropped files.
    static QStringList cardImagesIn(const QList<QUrl>& urls);
    // What a drag of these items carries: which list it left.
    QMimeData* dragData(const QList<QListWidgetItem*>& items) const { return mimeData(items); }

signals:
    // A double-click, or Enter on a selection: the list's copy command.
    void doubleClicked();
    // A save list was dropped here; source is the list the drag started from.
    void droppedFrom(TSaveListView* source);
    // Save files from outside were dropped here, by their paths.
    void filesDropped(const QStringList& paths);
    // A card image dropped with no save file beside it: the user asks to
    // open that card.
    void cardImageDropped(const QString& path);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitGrid();
    // The list a drag of this program's came from; nullptr for any other.
    TSaveListView* dragSource(const QMimeData* data) const;
    bool acceptsDrag(const QMimeData* data) const;
    const QList<QPixmap>* fPictures = nullptr;
    bool fAcceptsFiles = false;
};
