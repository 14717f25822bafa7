#pragma once

#include <QString>
#include <QUuid>

struct TEngineEntry;

// One voice of the catalogue; Name is its identity everywhere in the program.
struct TVoiceEntry {
    QString Name;
    QString Key;  // suffix of the voice's settings names
    bool Favourite = true;
    QUuid ModeID;
    TEngineEntry* Engine = nullptr;
    int MinPitch = -1, MaxPitch = -1, DefaultPitch = -1, Pitch = 0;
    int MinSpeed = -1, MaxSpeed = -1, DefaultSpeed = -1, Speed = 0;
};
