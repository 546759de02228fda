#pragma once

// A report to read and keep: a read-only text, a button that copies it to
// the clipboard and one that closes the window. A report that ends in a
// question has a third button that answers it, so the question is read with
// what it is about still in view.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace skin {

struct ReportSpec {
    QString title;
    QString text;
    QString copyCaption;
    QString closeCaption;
    QString actionCaption = {}; // empty: a report that asks nothing
};

class ReportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportDialog(const ReportSpec& spec, QWidget* parent = nullptr);
    QPlainTextEdit* textView() const { return fText; }
    QPushButton* copyButton() const { return fCopy; }
    QPushButton* closeButton() const { return fClose; }
    QPushButton* actionButton() const { return fAction; }
    // True when the report was closed by its action button.
    bool actionChosen() const { return fActionChosen; }

private:
    QPlainTextEdit* fText;
    QPushButton* fCopy;
    QPushButton* fClose;
    QPushButton* fAction = nullptr;
    bool fActionChosen = false;
};

} // namespace skin
