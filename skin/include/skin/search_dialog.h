#pragma once

// The question of what to look for: a line of text, read either as
// characters or as hex digits, and for characters whether letter case
// counts. Which reading applies is always on view, so a word is never taken
// for hex digits behind the user's back.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace skin {

struct SearchEntry {
    QString text;
    bool hex = false;        // the text is hex digits, two to a byte
    bool ignoreCase = false; // letter case does not count; characters only
};

struct SearchSpec {
    QString title;
    QString label;
    QString textCaption; // the choice that reads the entry as characters
    QString hexCaption;  // the one that reads it as hex digits
    QString ignoreCaseCaption;
    SearchEntry initial;
};

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit SearchDialog(const SearchSpec& spec, QWidget* parent = nullptr);
    SearchEntry entry() const;
    QLineEdit* textBox() const { return fText; }
    QRadioButton* textChoice() const { return fAsText; }
    QRadioButton* hexChoice() const { return fAsHex; }
    QCheckBox* ignoreCaseBox() const { return fIgnoreCase; }

private:
    QLineEdit* fText;
    QRadioButton* fAsText;
    QRadioButton* fAsHex;
    QCheckBox* fIgnoreCase;
};

} // namespace skin
