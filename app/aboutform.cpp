#include "app/aboutform.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/links.h"
#include "platform/about/libraryversions.h"
#include "platform/about/programversion.h"
#include "platform/shell/programfolders.h"

namespace {

// The splash picture is shown at this width, keeping its proportions.
constexpr int kPictureWidth = 360;

QLabel* Label(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About ") + ProgramVersion::name());
    // Fixed in size: a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);

    const QPixmap splash(ProgramFolders::programFolder() + QStringLiteral("/splash.jpg"));
    if (!splash.isNull()) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("SplashPicture"));
        picture->setPixmap(splash.scaledToWidth(kPictureWidth, Qt::SmoothTransformation));
        picture->setAlignment(Qt::AlignHCenter);
        layout->addWidget(picture);
    }

    QLabel* title =
        Label(ProgramVersion::name() + QStringLiteral("  version ") + ProgramVersion::version(),
              QStringLiteral("VersionLabel"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignHCenter);
    layout->addWidget(title);
    QLabel* purpose = Label(QStringLiteral("Reads text aloud, and into WAV and MP3 files."),
                            QStringLiteral("PurposeLabel"), this);
    purpose->setAlignment(Qt::AlignHCenter);
    layout->addWidget(purpose);

    // One row per library: name, version, licence.
    auto* libraries = new QWidget(this);
    libraries->setObjectName(QStringLiteral("Libraries"));
    auto* grid = new QGridLayout(libraries);
    grid->setContentsMargins(0, 8, 0, 8);
    grid->setHorizontalSpacing(16);
    QLabel* heading =
        Label(QStringLiteral("Built with:"), QStringLiteral("LibrariesHeading"), libraries);
    grid->addWidget(heading, 0, 0, 1, 3);
    int row = 1;
    for (const LibraryVersions::Library& library : LibraryVersions::all()) {
        auto* name = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                    .arg(library.homePage, library.name.toHtmlEscaped()),
                                libraries);
        name->setObjectName(QStringLiteral("Library") + QString::number(row - 1));
        name->setOpenExternalLinks(true);
        name->setToolTip(library.homePage);
        grid->addWidget(name, row, 0);
        grid->addWidget(
            Label(library.version, QStringLiteral("Version") + QString::number(row - 1), libraries),
            row, 1);
        grid->addWidget(
            Label(library.licence, QStringLiteral("Licence") + QString::number(row - 1), libraries),
            row, 2);
        ++row;
    }
    grid->setColumnStretch(2, 1);
    layout->addWidget(libraries);

    // The program's own pages.
    auto* links = new QHBoxLayout;
    const struct {
        const char* caption;
        const char* name;
        Links::Page page;
    } pages[] = {{"Help", "HelpLink", Links::Page::Contents},
                 {"Read Me", "ReadmeLink", Links::Page::HomePage},
                 {"Portable MP3 Players", "PlayersLink", Links::Page::Mp3Players}};
    for (const auto& [caption, name, page] : pages) {
        auto* link = new QPushButton(QString::fromUtf8(caption), this);
        link->setObjectName(QString::fromLatin1(name));
        link->setFlat(true);
        link->setCursor(Qt::PointingHandCursor);
        link->setAutoDefault(false);
        QPalette palette = link->palette();
        palette.setColor(QPalette::ButtonText, palette.color(QPalette::Link));
        link->setPalette(palette);
        connect(link, &QPushButton::clicked, this, [page] { Links::open(page); });
        links->addWidget(link);
    }
    links->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    links->addWidget(buttons);
    layout->addLayout(links);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
