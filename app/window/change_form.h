#pragma once

// The region change dialog: marks a save file for another console region
// by its game code's fourth letter, keeping a copy of the file as it was.

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class TMainForm;

class TChangeForm : public QDialog {
    Q_OBJECT
public:
    explicit TChangeForm(TMainForm* mainForm);

    QGroupBox* GroupBox1;
    QRadioButton* PalRadioBtn;
    QRadioButton* UsaRadioBtn;
    QRadioButton* JapRadioBtn;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPlainTextEdit* Memo1;
    QString sys_dir;

    // Sets the dialog up for the save file at path: its region's notice and
    // the choice to offer first. Returns false when the file cannot be read.
    bool prepareFor(const QString& path);

public slots:
    void Button1Click();

protected:
    void done(int result) override;

private:
    void FormClose();
    TMainForm* fMain;
};
