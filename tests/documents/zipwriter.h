#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Writes a zip container for the tests: the members in the given order, the first one stored
// uncompressed (an EPUB's "mimetype" must be), the others deflated. False when it fails.
bool WriteZip(const QString& path, const QList<QPair<QString, QByteArray>>& members);
