#include "ok_btn_form.h"

#include "skin/blue_glass_style.h"
#include "skin/pictures.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

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

void TOkBtnForm::showText(const QString& text, const QWidget* over)
{
    Label1->setText(text);
    // Short notices fit the panel as drawn; a longer one (a file name in a
    // failure notice) makes the box taller rather than lose its end.
    const int needed =
        Label1->fontMetrics()
            .boundingRect(QRect(0, 0, 241, 4000), Qt::TextWordWrap | Qt::AlignCenter, text)
            .height();
    const int extra = qMax(0, needed - 36);
    setFixedSize(249, 89 + extra);
    Image1->setGeometry(0, 0, 249, 89 + extra);
    Image1->setPixmap(QPixmap::fromImage(skin::messageBoxPicture().scaled(249, 89 + extra)));
    Label1->setGeometry(4, 8, 241, 36 + extra);
    Button1->move(85, 49 + extra);
    if (over) {
        const QRect r = over->frameGeometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    exec();
}
