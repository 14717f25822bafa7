#include "app/enginewarningform.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/links.h"

namespace {

// A label that reads like a link and opens it when clicked.
QLabel* LinkLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label =
        new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()), parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setAccessibleName(text);
    return label;
}

}  // namespace

TEngineWarningForm::TEngineWarningForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EngineWarningForm"));
    setWindowTitle(QStringLiteral("Text To Speech Engine not found"));
    // No system buttons: the dialog ends through its one button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(QStringLiteral("A Text-To-Speech engine does not appear to be installed \n"
                                  "on your machine.  These engines, which perform actual \n"
                                  "speech synthesis, are required for Quillsong to operate.\n\n"
                                  "Installing a speech engine on your computer is easy.  Just \n"
                                  "visit our website for instructions."),
                   this);
    text->setObjectName(QStringLiteral("WarningText"));
    layout->addWidget(text);
    QLabel* download = LinkLabel(QStringLiteral("Click here to download Speech Engine"),
                                 QStringLiteral("DownloadLink"), this);
    connect(download, &QLabel::linkActivated, this,
            [] { Links::open(Links::Page::SpeechEngines); });
    layout->addWidget(download);
    layout->addSpacing(8);
    layout->addWidget(
        new QLabel(QStringLiteral("If you are having problems or have any questions, please\n"
                                  "contact our support staff at"),
                   this));
    QLabel* support = LinkLabel(Links::supportAddress(), QStringLiteral("SupportLink"), this);
    connect(support, &QLabel::linkActivated, this, [] {
        Links::openMail(QStringLiteral("mailto:") + Links::supportAddress(),
                        QStringLiteral("to Quillsong MP3 support"));
    });
    layout->addWidget(support);
    auto* exit = new QPushButton(QStringLiteral("Exit Quillsong MP3"), this);
    exit->setObjectName(QStringLiteral("ExitButton"));
    exit->setDefault(true);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(exit, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Centred on the screen: it shows while the main window is not yet shown.
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}
