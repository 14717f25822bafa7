#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>
#include <QStatusBar>
#include <QSystemTrayIcon>

#include "app/form1.h"
#include "app/readingsession.h"
#include "app/readtofilejob.h"
#include "app/statustext.h"
#include "app/toolbarform.h"
#include "articles/articletext.h"
#include "articles/memolistbox.h"
#include "platform/shell/utilsclass.h"

void TForm1::UpdateStatus(const QString& text) {
    QString longText = text;
    m_shortText = text;
    if (text.trimmed().isEmpty()) {
        TMemoEntry* reading = ReadingEntry();
        if (m_readingState == rsReading && reading && m_list) {
            const int position = m_list->FindEntry(reading);
            longText = StatusText::ReadingText(position, m_list->VisibleCount(), reading->Title());
            m_shortText = StatusText::ReadingShortText(position, m_list->VisibleCount());
        } else if (m_readingState == rsConverting) {
            longText = QStringLiteral("Converting to %1 format: ")
                           .arg(ReadToFileJob::FormatName(m_prefs->OUT_FileFormat)) +
                       QFileInfo(m_session->encodedPath()).fileName();
        } else {
            longText = ArticleCountText();
        }
        if (m_readingState != rsReading) {
            m_shortText = longText;
        }
    }
    m_statusPanel0->setText(longText);
    SetTrayTip(longText);
    UtilsClass::WriteDebugLine(longText);
    Q_EMIT statusChanged(longText, m_shortText);
}

void TForm1::ResetStatus() {
    m_statusPanel0->clear();
    SetTrayTip(StatusText::kProgramTitle);
    // After a reading into files the status says where they went, so no one has to look.
    // Only files that are there: a folder removed during the reading took its files along.
    QStringList present;
    for (const QString& file : std::as_const(m_savedFiles)) {
        if (QFileInfo::exists(file)) {
            present << file;
        }
    }
    const QString saved = m_readingState == rsIdle ? ReadToFileJob::SavedText(present) : QString();
    if (!saved.isEmpty()) {
        m_savedFiles.clear();
    }
    UpdateStatus(saved.isEmpty() ? ArticleCountText() : saved);
    m_statusGauge->hide();
    m_statusGauge->setValue(0);
    m_statusPanel1->show();
    m_toolBarForm->HideGauge();
}

QString TForm1::ArticleCountText() const {
    const int count = m_list ? m_list->VisibleCount() : 0;
    const bool blank =
        count == 1 && ArticleText::IsBlank(m_list->Entries.first()->GetArticleText());
    return StatusText::ArticleCountText(count, blank);
}

QString TForm1::StatusPanelText(int panel) const {
    return panel == 0 ? m_statusPanel0->text() : m_statusPanel1->text();
}

void TForm1::SetTrayTip(const QString& text) {
    m_trayTip = StatusText::TrayTip(text);
    if (m_trayIcon) {
        m_trayIcon->setToolTip(m_trayTip);
    }
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize() {
    if (!m_statusPanel0) {
        return;
    }
    // Three quarters for the status text, the rest for the state word or the gauge.
    const int width = statusBar()->width() - 24;  // room for the size grip
    const int panel0 = qRound(0.75 * width);
    m_statusPanel0->setFixedWidth(panel0);
    m_statusPanel1->setFixedWidth(qMax(0, width - panel0));
    m_statusGauge->setFixedWidth(qMax(0, width - panel0));
}
