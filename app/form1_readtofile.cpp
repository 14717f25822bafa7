// The main window's reading into files: the command and each article's button.
#include "app/form1.h"
#include "app/readingsession.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"

bool TForm1::OutputDirectoryValid() {
    const QString problem = session_->outputFolderProblem();
    if (problem.isEmpty()) {
        return true;
    }
    RestoreFromTray();
    debugLog(problem);
    UserMessage::show(problem);
    return false;
}

void TForm1::PlayFileBtnClick() {
    if (!shown_ || !OutputDirectoryValid() || readingState_ != rsIdle) {
        return;
    }
    savedFiles_.clear();
    session_->readAll(prefs_->FileDest() == 1 ? otMultipleFiles : otSingleFile);
}

void TForm1::ReadArticleToFile(TMemoEntry* entry) {
    if (OutputDirectoryValid()) {
        if (readingState_ == rsIdle) {
            savedFiles_.clear();
        }
        ReadSingleArticle(entry, otSingleFile, -1, -1);
    }
}
