#include "app/sibusyform.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/preferences.h"

TSIBusyForm::TSIBusyForm(TPreferences& prefs, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Quillsong Busy ..."));
    setObjectName(QStringLiteral("SIBusyForm"));
    // Above the program the text was copied from.
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("In Single-Article mode, Quillsong cannot copy from \n"
                                  "the clipboard while text is being read."),
                   this));
    auto* quiet = new QCheckBox(QStringLiteral("Do not show this dialog again"), this);
    connect(quiet, &QCheckBox::toggled, this,
            [&prefs](bool checked) { prefs.SI_ShowBusyDialog = !checked; });
    layout->addWidget(quiet);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}
