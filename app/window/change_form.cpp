#include "window/change_form.h"

#include "app_options.h"
#include "commands/region_command.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/window_host.h"

#include "i18n/texts.h"
#include "skin/pictures.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

TChangeForm::TChangeForm(TMainForm* mainForm) : QDialog(mainForm), fMain(mainForm)
{
    setObjectName(QStringLiteral("ChangeForm"));
    setWindowTitle(QStringLiteral("CARD SHUTTLE"));
    setFixedSize(256, 171);
    setModal(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(skin::cSkyBlue));
    setPalette(p);
    setAutoFillBackground(true);

    GroupBox1 = new QGroupBox(QStringLiteral("Convens To "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(2, 0, 244, 35);
    // Only a rule under the title: the box is too low for a frame around
    // the radio buttons.
    GroupBox1->setFlat(true);
    PalRadioBtn = new QRadioButton(QStringLiteral("PAL"), GroupBox1);
    PalRadioBtn->setObjectName(QStringLiteral("PalRadioBtn"));
    PalRadioBtn->move(16 - 2, 15);
    UsaRadioBtn = new QRadioButton(QStringLiteral("USA"), GroupBox1);
    UsaRadioBtn->setObjectName(QStringLiteral("UsaRadioBtn"));
    UsaRadioBtn->move(101 - 2, 15);
    JapRadioBtn = new QRadioButton(QStringLiteral("JAP"), GroupBox1);
    JapRadioBtn->setObjectName(QStringLiteral("JapRadioBtn"));
    JapRadioBtn->move(186 - 2, 14);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(2, 40, 166, 21);
    Edit1->setReadOnly(true);
    Button1 = new QPushButton(QStringLiteral("Convens it"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(171, 40, 75, 20);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(2, 64, 244, 79);
    Memo1->setReadOnly(true);
    connect(Button1, &QPushButton::clicked, this, &TChangeForm::Button1Click);

    // Opens empty; the program's start-up folder anchors the saver folder the
    // converted file is written to.
    Memo1->clear();
    Edit1->clear();
    sys_dir = dataDir();
}

bool TChangeForm::prepareFor(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(100);
    f.close();
    Edit1->setText(path);
    Button1->setEnabled(true);
    if (head.size() < 4)
        return true;
    switch (head[3]) {
    case 'E':
        Memo1->setPlainText(QStringLiteral(
            "The Region for the file is USA System. And you can Convert it to PAL or JAP System."));
        UsaRadioBtn->setEnabled(false);
        JapRadioBtn->setChecked(true);
        break;
    case 'P':
        Memo1->setPlainText(QStringLiteral(
            "The Region for the file is PAL System. And you can Convert it to USA or JAP System."));
        PalRadioBtn->setEnabled(false);
        UsaRadioBtn->setChecked(true);
        break;
    case 'J':
        Memo1->setPlainText(QStringLiteral(
            "The Region for the file is JAP System. And you can Convert it to PAL or USA System."));
        JapRadioBtn->setEnabled(false);
        UsaRadioBtn->setChecked(true);
        break;
    default: break; // no notice; the choices stay as they were
    }
    return true;
}

void TChangeForm::Button1Click()
{
    const QList<QListWidgetItem*> selected = fMain->ListView2->selectedItems();
    if (selected.size() != 1)
        return;
    const QString name = TSaveListView::nameOf(selected.constFirst());
    const QString path = sys_dir + QStringLiteral("/saver/") + name;
    const QString shown = sys_dir + QStringLiteral(" / saver / ") + name;

    const std::optional<Region> region = PalRadioBtn->isChecked()   ? Region::Pal
                                         : UsaRadioBtn->isChecked() ? Region::Usa
                                         : JapRadioBtn->isChecked() ? Region::Jap
                                                                    : std::optional<Region>();
    const RegionOutcome outcome = changeRegion(path, shown, region);
    if (outcome.backedUp)
        Edit1->clear();
    if (!outcome.notice.isEmpty())
        Memo1->setPlainText(outcome.notice);
    fMain->ListView2->clearSelection();
    Button1->setEnabled(false);
    fMain->ENBtn_click();
}

void TChangeForm::FormClose()
{
    fMain->ListView1->clearSelection();
    fMain->ListView2->clearSelection();
    fMain->ENBtn_click();
}

void TChangeForm::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TMainForm::changebtnClick()
{
    QStringList files;
    for (const QListWidgetItem* item : ListView2->selectedItems())
        files << TSaveListView::nameOf(item);
    runCommand(
        b8,
        [this, files] {
            RegionCommand(host(), fSession, files, fSecond != nullptr, saverDir(),
                          [this](const QString& path) { host().showRegionDialog(path); })
                .run();
        },
        Needs::Nothing);
}
