#include "window/ok_btn_form.h"

#include "skin/blue_glass_style.h"
#include "skin/pictures.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>

TOkBtnForm::TOkBtnForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("OkBtnForm"));
    setWindowTitle(QStringLiteral("Message"));
    setFixedSize(249, 89);
    setModal(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 249, 89);
    Image1->setPixmap(QPixmap::fromImage(skin::messageBoxPicture()));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(0, 8, 249, 36);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(9);
    Label1->setFont(f);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(85, 49, 94, 25);
    Button1->setDefault(true);
    Button1->setStyle(skin::blueGlassStyle());
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

QString keepTokensWhole(const QString& text)
{
    // U+2060 joins the characters beside it: a line may break at a blank,
    // never inside a device string or a path, which the user reads or
    // types again as one.
    static const QString separators = QStringLiteral(":/\\");
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (separators.contains(text[i]) && i + 1 < text.size() && !text[i + 1].isSpace())
            out += QChar(0x2060);
    }
    return out;
}

void TOkBtnForm::layOut(const QString& text)
{
    const QString shown = keepTokensWhole(text);
    Label1->setText(shown);
    // Short notices fit the panel as drawn; a longer one (a file name in a
    // failure notice) makes the box taller rather than lose its end, and one
    // whose path or device string is wider than the panel makes it wider.
    const QFontMetrics metrics = Label1->fontMetrics();
    int widest = 0;
    for (const QString& word : shown.split(QRegularExpression(QStringLiteral("\\s+"))))
        widest = qMax(widest, metrics.horizontalAdvance(word));
    const int textWidth = qMax(241, widest + 2);
    const int width = textWidth + 8;
    const int needed =
        metrics
            .boundingRect(QRect(0, 0, textWidth, 4000), Qt::TextWordWrap | Qt::AlignCenter, shown)
            .height();
    const int extra = qMax(0, needed - 36);
    setFixedSize(width, 89 + extra);
    Image1->setGeometry(0, 0, width, 89 + extra);
    Image1->setPixmap(QPixmap::fromImage(skin::messageBoxPicture().scaled(width, 89 + extra)));
    Label1->setGeometry(4, 8, textWidth, 36 + extra);
    // As drawn on the panel; a widened box keeps it in the middle.
    Button1->move(85 + (width - 249) / 2, 49 + extra);
}

void TOkBtnForm::showText(const QString& text, const QWidget* over)
{
    layOut(text);
    if (over) {
        const QRect r = over->frameGeometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    exec();
}
