#pragma once

#include <QString>

// Programs started when the user logs in, as XDG autostart entries
// (~/.config/autostart/<entry>.desktop).
class Autostart {
  public:
    // Creates or replaces the entry running command, or removes it. False on any failure.
    static bool setEntry(const QString& entryName, const QString& command, bool enable);
    static bool hasEntry(const QString& entryName);
    // The command of an entry, as given to setEntry; empty when there is none.
    static QString entryCommand(const QString& entryName);
    // A path quoted as one argument of a desktop entry's command line.
    static QString quoteArgument(const QString& argument);
    static QString entryFile(const QString& entryName);
};
