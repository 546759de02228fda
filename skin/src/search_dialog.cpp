#include "skin/search_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace skin {

SearchDialog::SearchDialog(const SearchSpec& spec, QWidget* parent)
    : QDialog(parent), fText(new QLineEdit(spec.initial.text, this)),
      fAsText(new QRadioButton(spec.textCaption, this)),
      fAsHex(new QRadioButton(spec.hexCaption, this)),
      fIgnoreCase(new QCheckBox(spec.ignoreCaseCaption, this))
{
    setWindowTitle(spec.title);
    auto* label = new QLabel(spec.label, this);
    label->setBuddy(fText);
    // The last search is offered again whole, so that typing replaces it.
    fText->selectAll();
    fText->setMinimumWidth(fText->fontMetrics().averageCharWidth() * 40);
    (spec.initial.hex ? fAsHex : fAsText)->setChecked(true);
    fIgnoreCase->setChecked(spec.initial.ignoreCase);
    // Bytes have no letter case.
    fIgnoreCase->setEnabled(!spec.initial.hex);
    connect(fAsText, &QRadioButton::toggled, fIgnoreCase, &QCheckBox::setEnabled);
    auto* choices = new QHBoxLayout;
    choices->addWidget(fAsText);
    choices->addWidget(fAsHex);
    choices->addSpacing(fText->fontMetrics().averageCharWidth() * 3);
    choices->addWidget(fIgnoreCase);
    choices->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(fText);
    layout->addLayout(choices);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    fText->setFocus();
}

SearchEntry SearchDialog::entry() const
{
    return {fText->text(), fAsHex->isChecked(), fIgnoreCase->isChecked()};
}

} // namespace skin
