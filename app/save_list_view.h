#pragma once

// The two save lists: banners with a two-line caption, several selected at
// once, dragged from one to the other to copy.

#include <QByteArray>
#include <QListWidget>

// What a command needs of a card list item, taken before the list changes.
struct CardSave {
    QString name;       // as shown
    QByteArray rawName; // as the card holds it, for the library
    QByteArray rawCode;
    int slot = -1; // its directory slot: two saves may share name and code
};

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

signals:
    void doubleClicked();
    // A save list was dropped here; source is the list the drag started from.
    void droppedFrom(TSaveListView* source);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitGrid();
    const QList<QPixmap>* fPictures = nullptr;
};
