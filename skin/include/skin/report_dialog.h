#pragma once

// A report to read and keep: a read-only text, a button that copies it to
// the clipboard and one that closes the window.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace skin {

struct ReportSpec {
    QString title;
    QString text;
    QString copyCaption;
    QString closeCaption;
};

class ReportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportDialog(const ReportSpec& spec, QWidget* parent = nullptr);
    QPlainTextEdit* textView() const { return fText; }
    QPushButton* copyButton() const { return fCopy; }
    QPushButton* closeButton() const { return fClose; }

private:
    QPlainTextEdit* fText;
    QPushButton* fCopy;
    QPushButton* fClose;
};

} // namespace skin
