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
#include "articles/articletext.h"
#include "articles/memolistbox.h"
#include "platform/shell/utilsclass.h"

void TForm1::UpdateStatus(const QString& text) {
    QString longText = text;
    shortText_ = text;
    if (text.trimmed().isEmpty()) {
        TMemoEntry* reading = ReadingEntry();
        if (readingState_ == rsReading && reading && List_) {
            const int position = List_->FindEntry(reading);
            longText = StatusText::ReadingText(position, List_->VisibleCount(), reading->Title());
            shortText_ = StatusText::ReadingShortText(position, List_->VisibleCount());
        } else if (readingState_ == rsConverting) {
            longText = QStringLiteral("Converting to MP3 format: ") +
                       QFileInfo(session_->mp3Path()).fileName();
        } else {
            longText = ArticleCountText();
        }
        if (readingState_ != rsReading) {
            shortText_ = longText;
        }
    }
    statusPanel0_->setText(longText);
    SetTrayTip(longText);
    UtilsClass::WriteDebugLine(longText);
    Q_EMIT statusChanged(longText, shortText_);
}

void TForm1::ResetStatus() {
    statusPanel0_->clear();
    SetTrayTip(StatusText::kProgramTitle);
    // After a reading into files the status says where they went, so no one has to look.
    const QString saved =
        readingState_ == rsIdle ? TReadToFileJob::SavedText(savedFiles_) : QString();
    if (!saved.isEmpty()) {
        savedFiles_.clear();
    }
    UpdateStatus(saved.isEmpty() ? ArticleCountText() : saved);
    statusGauge_->hide();
    statusGauge_->setValue(0);
    statusPanel1_->show();
}

QString TForm1::ArticleCountText() const {
    const int count = List_ ? List_->VisibleCount() : 0;
    const bool blank = count == 1 && ArticleText::IsBlank(List_->Entries.first()->GetArticleText());
    return StatusText::ArticleCountText(count, blank);
}

QString TForm1::StatusPanelText(int panel) const {
    return panel == 0 ? statusPanel0_->text() : statusPanel1_->text();
}

void TForm1::SetTrayTip(const QString& text) {
    trayTip_ = StatusText::TrayTip(text);
    if (trayIcon_) {
        trayIcon_->setToolTip(trayTip_);
    }
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize() {
    if (!statusPanel0_) {
        return;
    }
    // Three quarters for the status text, the rest for the state word or the gauge.
    const int width = statusBar()->width() - 24;  // room for the size grip
    const int panel0 = qRound(0.75 * width);
    statusPanel0_->setFixedWidth(panel0);
    statusPanel1_->setFixedWidth(qMax(0, width - panel0));
    statusGauge_->setFixedWidth(qMax(0, width - panel0));
}
