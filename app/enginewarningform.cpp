#include "app/enginewarningform.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/shell/shellopen.h"

namespace {

const char* const kSpeechEnginesPage = "https://espeak-ng.github.io/espeak-ng/";
const char* const kSupportAddress = "mailto:support@quillsong.invalid";

}  // namespace

TEngineWarningForm::TEngineWarningForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Text To Speech Engine not found"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint & ~Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("A Text-To-Speech engine does not appear to be installed \n"
                                  "on your machine.  These engines, which perform actual \n"
                                  "speech synthesis, are required for Quillsong to operate.\n\n"
                                  "Installing a speech engine on your computer is easy.  Just \n"
                                  "visit our website for instructions.")));
    auto* download =
        new QLabel(QStringLiteral("<a href=\"%1\">Click here to download Speech Engine</a>")
                       .arg(QString::fromLatin1(kSpeechEnginesPage)));
    connect(download, &QLabel::linkActivated, this,
            [](const QString& link) { ShellOpen::openAddress(link); });
    layout->addWidget(download);
    layout->addWidget(
        new QLabel(QStringLiteral("If you are having problems or have any questions, please\n"
                                  "contact our support staff at")));
    auto* support = new QLabel(QStringLiteral("<a href=\"%1\">support@quillsong.invalid</a>")
                                   .arg(QString::fromLatin1(kSupportAddress)));
    connect(support, &QLabel::linkActivated, this,
            [](const QString& link) { ShellOpen::openAddress(link); });
    layout->addWidget(support);
    auto* exit = new QPushButton(QStringLiteral("Exit Quillsong MP3"), this);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(exit, 0, Qt::AlignHCenter);
}
