#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QObject;

// The spoken help topics of "AudioHelp.chl" in the program's data folder: the list
// "HelpTopics" and, for each topic, a value of that name holding the text to speak.
class TAudioHelp {
  public:
    static QString FileName();
    // The topic names in the file's order; none when the file or its list is missing.
    static QStringList Topics();
    // Adds one item per topic under item, each calling handler with itself when chosen.
    static void BuildMenu(QMenu* item, QObject* owner,
                          const std::function<void(QAction*)>& handler);
    // The text of the topic named name; empty when there is none.
    static QString TopicText(const QString& name);
    // The topic an item of the menu stands for (its caption, which may hold a "&").
    static QString TopicOf(const QAction* item);
};
