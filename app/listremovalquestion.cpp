#include "app/listremovalquestion.h"

#include <QCheckBox>
#include <QPushButton>

#include "app/statustext.h"

ListRemovalQuestion::ListRemovalQuestion(int others, bool offerMultiArticle, QWidget* parent)
    : QMessageBox(parent) {
    setObjectName(QStringLiteral("ListRemovalQuestion"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setIcon(QMessageBox::Question);
    setWindowTitle(StatusText::kProgramTitle);
    setText(others == 1
                ? QStringLiteral("Single-article mode keeps one article. Remove the other article?")
                : QStringLiteral("Single-article mode keeps one article. Remove the other %1 "
                                 "articles?")
                      .arg(others));
    m_remove = addButton(QStringLiteral("&Remove"), QMessageBox::DestructiveRole);
    if (offerMultiArticle) {
        m_multi = addButton(QStringLiteral("&Switch to Multi-Article"), QMessageBox::AcceptRole);
    }
    QPushButton* cancel = addButton(QMessageBox::Cancel);
    setEscapeButton(cancel);
    // Return keeps every article unless the user moves to Remove.
    setDefaultButton(m_multi ? qobject_cast<QPushButton*>(m_multi) : cancel);
    setCheckBox(new QCheckBox(QStringLiteral("Do not ask again"), this));
    connect(this, &QMessageBox::finished, this, &ListRemovalQuestion::Finish);
}

void ListRemovalQuestion::Finish() {
    Answer answer = Answer::Cancel;
    if (clickedButton() == m_remove) {
        answer = Answer::Remove;
    } else if (m_multi && clickedButton() == m_multi) {
        answer = Answer::SwitchToMulti;
    }
    Q_EMIT answered(answer, answer != Answer::Cancel && checkBox()->isChecked());
}
