#pragma once

#include <QString>
#include <QStringList>

// The private profile of a test executable.
namespace testprofile {

// Forgets every stored setting, autostart entry and file of the user folder.
void Reset();
// The text stored for a value, as another program would read it from the settings file.
QString StoredText(const QString& key, const QString& name);
// Writes a text value under a key of the current user, as another program would.
void Store(const QString& key, const QString& name, const QString& text);
// Value names under a key.
QStringList StoredNames(const QString& key);

}  // namespace testprofile
