#include "app/audiohelp.h"

#include <QAction>
#include <QMenu>

#include "platform/shell/converterror.h"
#include "platform/shell/programfolders.h"
#include "text/grabbaseclass.h"

namespace {

const QString kRoot = QStringLiteral("/");
const QString kTopicList = QStringLiteral("HelpTopics");
const char* const kTopicProperty = "audioHelpTopic";

}  // namespace

QString TAudioHelp::FileName() {
    return ProgramFolders::programFolder() + QStringLiteral("/AudioHelp.chl");
}

QStringList TAudioHelp::Topics() {
    GrabBaseClass file;
    if (!file.LoadFile(FileName()).isEmpty()) {
        return {};
    }
    QStringList topics;
    try {
        file.GetList(kRoot, kTopicList, topics);
    } catch (const ConvertError&) {
        return {};  // a count that is no number: no list
    }
    return topics;
}

void TAudioHelp::BuildMenu(QMenu* item, QObject* owner,
                           const std::function<void(QAction*)>& handler) {
    for (const QString& topic : Topics()) {
        // "&" in a caption would mark a shortcut key; it stays a character of the topic.
        QString caption = topic;
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = item->addAction(caption);
        action->setProperty(kTopicProperty, topic);
        QObject::connect(action, &QAction::triggered, owner,
                         [action, handler] { handler(action); });
    }
}

QString TAudioHelp::TopicText(const QString& name) {
    GrabBaseClass file;
    file.LoadFile(FileName());
    return file.GetValue(kRoot, name);
}

QString TAudioHelp::TopicOf(const QAction* item) {
    return item->property(kTopicProperty).toString();
}
