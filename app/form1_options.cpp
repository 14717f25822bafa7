// The main window's top panel: the toolbar and the options area below it, each shown or
// hidden by its command, and the options that belong to the window.
#include <QAction>
#include <QLayout>
#include <QToolBar>

#include "app/clipboardsheet.h"
#include "app/form1.h"
#include "app/optionsarea.h"

void TForm1::CreateOptionsArea() {
    Panel3 = new OptionsArea(*m_prefs, Panel2);
    Panel2->layout()->addWidget(Panel3);
    Panel3->Clipboard()->Load();
    CreateVoicesSheet();
    CreateFileOptionsSheet();
    CreateMiscSheet();
    connect(Panel3->Clipboard(), &ClipboardSheet::monitorClicked, this, &TForm1::MonitorCBClick);
}

void TForm1::ApplyPanels(PanelHeights::By by) {
    ToolBar1->setVisible(m_prefs->ShowToolbar);
    m_toolbarItem->setChecked(m_prefs->ShowToolbar);
    Panel3->setVisible(m_prefs->ShowOptions);
    OptionsBtn->setChecked(m_prefs->ShowOptions);
    m_optionsPanelsItem->setChecked(m_prefs->ShowOptions);
    SetTopPanelHeight(by);
}

void TForm1::MMLabel1Click() {
    m_prefs->ShowOptions = !m_prefs->ShowOptions;
    ApplyPanels(PanelHeights::By::OptionsCommand);
}

void TForm1::ShowToolbarMItmClick() {
    m_prefs->ShowToolbar = !m_prefs->ShowToolbar;
    ApplyPanels(PanelHeights::By::ToolbarCommand);
}

void TForm1::SetTopPanelHeight(PanelHeights::By by) {
    const int toolbar = ToolBar1->sizeHint().height();
    const int area =
        PanelHeights::OptionsArea(by, logicalDpiY(), toolbar, Panel3->minimumSizeHint().height());
    Panel3->setFixedHeight(area);
    const int height =
        PanelHeights::TopPanel(m_prefs->ShowToolbar, m_prefs->ShowOptions, toolbar, area);
    Panel2->setFixedHeight(height);
    Panel2->setVisible(height > 0);
}
