// The main window's reading into files: the command and each article's button.
#include "app/form1.h"
#include "app/readingsession.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"

bool TForm1::OutputDirectoryValid() {
    const QString problem = m_session->outputFolderProblem();
    if (problem.isEmpty()) {
        return true;
    }
    RestoreFromTray();
    UserMessage::show(problem);  // also written to the debug log
    return false;
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
