#pragma once

#include <QList>
#include <QString>

// A voice as the article's voice box offers it.
struct VoiceChoice {
    QString name;
    bool favourite = false;
    bool engineEnabled = false;
};

// The voices an article can be given, in catalogue order; the voice catalogue offers them.
class VoiceSource {
  public:
    virtual ~VoiceSource() = default;
    virtual QList<VoiceChoice> voices() const = 0;
};
