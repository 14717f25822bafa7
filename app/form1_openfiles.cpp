// Opening text files into the article list: small files are loaded, large ones become file
// articles that are read from disk piece by piece.
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "app/form1.h"
#include "articles/articletext.h"
#include "articles/getfilesize.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "platform/shell/usermessage.h"
#include "platform/shell/utilsclass.h"
#include "text/textfile.h"

namespace {

constexpr int64_t kLargeFile = 5120;  // from this size on a file is read from disk, not loaded

}  // namespace

void TForm1::ReadFileBtnClick() {
    QFileDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Open Text File"));
    dialog.setNameFilter(QStringLiteral("Text files (*.txt *.TXT)"));
    dialog.setFileMode(m_prefs->ML_ListMode == 1 ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
    dialog.setDirectory(m_prefs->OpenDlgInitialDir);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QStringList files = dialog.selectedFiles();
    m_prefs->OpenDlgInitialDir = QFileInfo(files.first()).absolutePath() + QLatin1Char('/');
    OpenTextFiles(files);
}

void TForm1::OpenTextFiles(const QStringList& files) {
    for (const QString& file : files) {
        QString error;
        const int64_t size = GetFileSize(file, error);
        if (size < 0) {
            UserMessage::showError(error);
            return;
        }
        if (size == 0) {
            UserMessage::show(QFileInfo(file).absoluteFilePath() + QStringLiteral(" is empty"));
            return;
        }
        // A program, picture or archive would only be read as noise.
        QString notText;
        if (!TextFile::isTextFile(file, &notText)) {
            UtilsClass::WriteDebugLine(notText);
            UserMessage::showError(notText);
            return;
        }
        TMemoEntry* entry = AddNewArticle();
        if (!entry) {
            return;  // the list refused a new article and has said why
        }
        entry->SetDefaultTitleFrom(QFileInfo(file).baseName(), m_list->TitleLength);
        if (size >= kLargeFile) {
            entry->SetArticleText(ArticleText::FileArticleText(QFileInfo(file).absoluteFilePath()));
            entry->SetFileEntry(true);
        } else {
            entry->SetFileEntry(false);
            QString readError;
            if (!entry->LoadFromFile(file, readError)) {
                UtilsClass::WriteDebugLine(QStringLiteral("Could not open ") + file);
            } else if (!readError.isEmpty()) {
                UserMessage::showError(readError);
            }
        }
        if (m_prefs->AutoSpeak()) {
            ReadSingleArticle(entry, otSpeakers, -1, -1);
            if (m_readingState == rsReading) {
                UpdateStatus(QStringLiteral("Reading input text file ") +
                             QFileInfo(file).fileName());
            }
        }
        QCoreApplication::processEvents();
    }
    ExportArticles();
    if (m_readingState == rsIdle) {
        UpdateStatus(ArticleCountText());  // the count now includes the loaded articles
    }
}
