#include "app/optionsarea.h"

#include <QHBoxLayout>
#include <QTabWidget>

#include "app/clipboardsheet.h"
#include "app/multioptionssheet.h"
#include "app/singleoptionssheet.h"

namespace {

constexpr int kSingleMode = 0;
constexpr int kMultiMode = 1;

}  // namespace

OptionsArea::OptionsArea(TPreferences& prefs, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Panel3"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);

    // The mode's sheet follows the list mode: only its own tab is shown, naming the mode.
    m_modePages = new QTabWidget(this);
    m_modePages->setObjectName(QStringLiteral("ModePages"));
    m_modePages->setAccessibleName(QStringLiteral("Article mode options"));
    m_single = new SingleOptionsSheet(prefs, m_modePages);
    m_multi = new MultiOptionsSheet(prefs, m_modePages);
    m_modePages->insertTab(kSingleMode, m_single, QStringLiteral("Single-Article Options"));
    m_modePages->insertTab(kMultiMode, m_multi, QStringLiteral("Multi-Article Options"));
    layout->addWidget(m_modePages);

    m_optionPages = new QTabWidget(this);
    m_optionPages->setObjectName(QStringLiteral("OptionPages"));
    m_optionPages->setAccessibleName(QStringLiteral("Options"));
    m_clipboard = new ClipboardSheet(prefs, m_optionPages);
    m_optionPages->addTab(m_clipboard, QStringLiteral("Clipboard"));
    for (const QString& title : {QStringLiteral("Engines / Voices"), QStringLiteral("File Options"),
                                 QStringLiteral("Misc")}) {
        // Greyed until they have their controls, so no tab opens on an empty page.
        const int index = m_optionPages->addTab(new QWidget(m_optionPages), title);
        m_optionPages->setTabEnabled(index, false);
    }
    layout->addWidget(m_optionPages, 1);
}

void OptionsArea::ShowModeSheet(uint8_t mode) {
    const int shown = mode == kMultiMode ? kMultiMode : kSingleMode;
    m_modePages->setTabVisible(shown, true);
    m_modePages->setCurrentIndex(shown);
    m_modePages->setTabVisible(shown == kMultiMode ? kSingleMode : kMultiMode, false);
}

void OptionsArea::ShowSheet(Sheet sheet) {
    m_optionPages->setCurrentIndex(int(sheet));
}

void OptionsArea::SetSheet(Sheet sheet, QWidget* page) {
    const int index = int(sheet);
    const QString title = m_optionPages->tabText(index);
    const bool current = m_optionPages->currentIndex() == index;
    delete m_optionPages->widget(index);  // the empty page; removes its tab
    m_optionPages->insertTab(index, page, title);
    m_optionPages->setTabEnabled(index, true);
    if (current) {
        m_optionPages->setCurrentIndex(index);
    }
}
