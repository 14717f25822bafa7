#include "app/soundcarderrorform.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/preferences.h"

TSoundCardErrorForm::TSoundCardErrorForm(TPreferences& prefs, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Sound Card Error Detected"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    resize(452, 257);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral(
        "Quillsong was unable to verify access to your soundcard. This \n"
        "could mean a configuration problem or that your soundcard does \n"
        "not support some commands. \n\n"
        "You may click Proceed to continue. If you then experience \n"
        "problems, please contact Quillsong support with a description of your sound setup.\n\n"
        "If you see this error frequently but Quillsong MP3 appears to \n"
        "otherwise function correctly, you can prevent this message from \n"
        "appearing in the future by selecting the CheckBox below."));
    QPalette blue = text->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    text->setPalette(blue);
    layout->addWidget(text);
    auto* disable = new QCheckBox(QStringLiteral("Disable Sound Card Check in the Future"), this);
    connect(disable, &QCheckBox::clicked, this,
            [&prefs](bool checked) { prefs.TTS_SoundCardCheckErr = !checked; });
    layout->addWidget(disable);
    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* proceed = new QPushButton(QStringLiteral("Proceed"), this);
    cancel->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(proceed, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(proceed);
    layout->addLayout(buttons);
    setTabOrder(cancel, proceed);
}
