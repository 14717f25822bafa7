// The main window's reading into files: the command and each article's button.
#include <QPushButton>

#include "app/fileoptionssheet.h"
#include "app/form1.h"
#include "app/messagebox.h"
#include "app/optionsarea.h"
#include "app/readingsession.h"
#include "app/statustext.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"

bool TForm1::OutputDirectoryValid() {
    if (const QString missing = m_session->missingOutputFolder(); !missing.isEmpty()) {
        if (!OfferToMakeOutputFolder(missing)) {
            return false;
        }
    }
    const QString problem = m_session->outputFolderProblem();
    if (problem.isEmpty()) {
        return true;
    }
    ShowOutputDirectoryOption();
    UserMessage::show(problem);  // also written to the debug log
    return false;
}

bool TForm1::OfferToMakeOutputFolder(const QString& folder) {
    debugLog(QStringLiteral("The output folder %1 does not exist").arg(folder));
    MessageBox question(QMessageBox::Question, StatusText::kProgramTitle,
                        QStringLiteral("File Output Directory is invalid\r\rThe folder %1 does "
                                       "not exist. Make it?")
                            .arg(folder),
                        QMessageBox::Cancel, isVisible() ? this : nullptr);
    QPushButton* make = question.addButton(QStringLiteral("&Make Folder"), QMessageBox::AcceptRole);
    question.setDefaultButton(make);
    question.setEscapeButton(QMessageBox::Cancel);
    question.exec();
    if (question.clickedButton() != make) {
        ShowOutputDirectoryOption();  // to be corrected there
        return false;
    }
    const QString failure = m_session->makeOutputFolder();
    if (!failure.isEmpty()) {
        ShowOutputDirectoryOption();
        UserMessage::showError(failure);
        return false;
    }
    return true;
}

void TForm1::ShowOutputDirectoryOption() {
    RestoreFromTray();
    if (!m_prefs->ShowOptions) {
        MMLabel1Click();
    }
    Panel3->ShowSheet(OptionsArea::Sheet::FileOptions);
    m_fileOptions->FocusOutputDirectory();
}

void TForm1::PlayFileBtnClick() {
    if (!m_shown || !OutputDirectoryValid() || m_readingState != rsIdle) {
        return;
    }
    m_savedFiles.clear();
    m_session->ReadAllArticles(m_prefs->FileDest() == 1 ? otMultipleFiles : otSingleFile);
}

void TForm1::ReadArticleToFile(TMemoEntry* entry) {
    if (OutputDirectoryValid()) {
        if (m_readingState == rsIdle) {
            m_savedFiles.clear();
        }
        ReadSingleArticle(entry, otSingleFile, -1, -1);
    }
}
