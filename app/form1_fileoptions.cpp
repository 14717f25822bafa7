// The main window's part of the File Options sheet: the sheet in its tab, and "Browse", which
// opens the output folder dialog over the window.
#include "app/fileoptionssheet.h"
#include "app/form1.h"
#include "app/optionsarea.h"
#include "app/outdirdialog.h"

void TForm1::CreateFileOptionsSheet() {
    m_fileOptions = new FileOptionsSheet(*m_prefs, Panel3);
    m_fileOptions->Load();
    Panel3->SetSheet(OptionsArea::Sheet::FileOptions, m_fileOptions);
    connect(m_fileOptions, &FileOptionsSheet::browseClicked, this, &TForm1::Button1Click);
}

void TForm1::Button1Click() {
    TOutDirDialog dialog(*m_prefs, this);
    if (dialog.exec() == QDialog::Accepted) {
        // The edit stores the folder again by its own rule.
        m_fileOptions->SetOutputDirectory(m_prefs->OUT_Directory);
    }
}
