#include "skin/report_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace skin {

ReportDialog::ReportDialog(const ReportSpec& spec, QWidget* parent)
    : QDialog(parent), fText(new QPlainTextEdit(this)),
      fCopy(new QPushButton(spec.copyCaption, this)),
      fClose(new QPushButton(spec.closeCaption, this))
{
    setWindowTitle(spec.title);
    fText->setReadOnly(true);
    fText->setPlainText(spec.text);
    // Findings are long sentences; block lists are long lines.
    fText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(fCopy);
    if (!spec.actionCaption.isEmpty()) {
        fAction = new QPushButton(spec.actionCaption, this);
        buttons->addWidget(fAction);
        connect(fAction, &QPushButton::clicked, this, [this] {
            fActionChosen = true;
            accept();
        });
    }
    buttons->addWidget(fClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fText);
    layout->addLayout(buttons);
    // Enter never answers a question by itself: the default only closes.
    fClose->setDefault(true);
    connect(fCopy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(fText->toPlainText()); });
    connect(fClose, &QPushButton::clicked, this, &QDialog::accept);
    resize(560, 360);
}

} // namespace skin
