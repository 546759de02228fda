// THexToCanvas: writes a range of a hex control's bytes as lines of text on
// any painter (a printer page or a picture), one page per Draw call. The
// caller loops over pages with the position each call returns.
#pragma once

#include "hexedit/hextypes.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>

class QPainter;
class THexEditor;

class THexToCanvas : public QObject {
    Q_OBJECT

public:
    explicit THexToCanvas(QObject* aOwner = nullptr);

    // The source of the bytes; forgotten when that control is destroyed.
    THexEditor* HexEditor() const;
    void SetHexEditor(THexEditor* aValue);
    // A font given in pixels is kept in points, as on the screen it came
    // from, so that it prints at the same size on any printer.
    const QFont& Font() const { return fFont; }
    void SetFont(const QFont& aValue);

    int32_t TopMargin() const { return fTopM; }
    void SetTopMargin(int32_t aValue) { fTopM = aValue; }
    int32_t LeftMargin() const { return fLeftM; }
    void SetLeftMargin(int32_t aValue) { fLeftM = aValue; }
    int32_t BottomMargin() const { return fBottomM; }
    void SetBottomMargin(int32_t aValue) { fBottomM = aValue; }
    int32_t RightMargin() const { return fRightM; }
    void SetRightMargin(int32_t aValue) { fRightM = aValue; }
    int32_t LinesPerPage() const { return fLpP; }
    void SetLinesPerPage(int32_t aValue) { fLpP = aValue; }
    int32_t BytesPerLine() const { return fBpL; }
    void SetBytesPerLine(int32_t aValue) { fBpL = aValue; }
    int32_t BytesPerColumn() const { return fBpC; }
    void SetBytesPerColumn(int32_t aValue) { fBpC = aValue; }
    TOffsetDisplayStyle OffsetDisplay() const { return fOffsDy; }
    void SetOffsetDisplay(TOffsetDisplayStyle aValue) { fOffsDy = aValue; }
    TOffsetDisplayStyle MemFieldDisplay() const { return fMemDy; }
    void SetMemFieldDisplay(TOffsetDisplayStyle aValue) { fMemDy = aValue; }
    bool DisplayCharField() const { return fCharDy; }
    void SetDisplayCharField(bool aValue) { fCharDy = aValue; }
    // A null character means no separator.
    QChar OffsetSeparator() const { return fOffsCr; }
    void SetOffsetSeparator(QChar aValue) { fOffsCr = aValue; }
    QChar MemFieldSeparator() const { return fMemCr; }
    void SetMemFieldSeparator(QChar aValue) { fMemCr = aValue; }
    QChar CharFieldSeparator() const { return fCharCr; }
    void SetCharFieldSeparator(QChar aValue) { fCharCr = aValue; }
    bool ShrinkToFit() const { return fShrink; }
    void SetShrinkToFit(bool aValue) { fShrink = aValue; }
    bool StretchToFit() const { return fStretch; }
    void SetStretchToFit(bool aValue) { fStretch = aValue; }
    bool SwapNibbles() const { return fSwapNibbles; }
    void SetSwapNibbles(bool aValue) { fSwapNibbles = aValue; }

    // Takes the font and the line shape from the control, and prints the
    // bytes in hex with the character field.
    void GetLayout();
    // The line of the bytes from aPos; bytes past aEnd are left blank.
    QString GetOneLine(int32_t aPos, int32_t aEnd);
    // Draws aStart .. aEnd from the top of the page down, with a header and
    // a footer line when they are not empty. Returns the first byte not
    // drawn, -1 when there is nothing to draw, and the largest int32 without
    // a control.
    int32_t Draw(QPainter& aCanvas, int32_t aStart, int32_t aEnd, const QString& TopLine,
                 const QString& BottomLine);

private:
    QPointer<THexEditor> fHexEditor;
    QFont fFont;
    int32_t fTopM = 0;
    int32_t fLeftM = 0;
    int32_t fBottomM = 0;
    int32_t fRightM = 0;
    int32_t fLpP = 0;
    int32_t fBpL = 16;
    int32_t fBpC = 2;
    TOffsetDisplayStyle fOffsDy = odHex;
    TOffsetDisplayStyle fMemDy = odHex;
    bool fCharDy = true;
    QChar fOffsCr = QLatin1Char(':');
    QChar fMemCr = QLatin1Char(';');
    QChar fCharCr;
    bool fShrink = true;
    bool fStretch = true;
    bool fSwapNibbles = false;
};
