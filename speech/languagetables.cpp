#include "speech/languagetables.h"

#include <QHash>

namespace {

struct Language {
    const char* name;
    const char* code;  // empty where only the name is listed
};

// The first entries are the program's long-standing names and codes, kept as users know them;
// the rest cover the other languages the installed engines speak (ISO 639-2 codes).
const QHash<uint16_t, Language>& table() {
    static const QHash<uint16_t, Language> table = {
        {1025, {"Arabic", "ara"}},
        {1026, {"Bulgarian", "bul"}},
        {1027, {"Catalan", "cat"}},
        {1028, {"Chinese", "chi"}},
        {1029, {"Czech", "cze"}},
        {1030, {"Danish", "dan"}},
        {1031, {"German", "deu"}},
        {1032, {"Greek", "gre"}},
        {1033, {"US English", "eng"}},
        {1034, {"Spanish", "spa"}},
        {1035, {"Finish", "fin"}},
        {1036, {"French", "fre"}},
        {1037, {"Hebrew", "heb"}},
        {1038, {"Hungarian", "hun"}},
        {1039, {"Icelandic", "ice"}},
        {1040, {"Italian", "ita"}},
        {1041, {"Japanese", "jpn"}},
        {1042, {"Korean", "kor"}},
        {1043, {"Dutch", "dut"}},
        {1044, {"Norwegian", "nor"}},
        {1045, {"Polish", "pol"}},
        {1046, {"Portuguese [Brazilian]", "por"}},
        {1048, {"Romanian", "ron"}},
        {1049, {"Russian", "rus"}},
        {1050, {"Croatian", "cro"}},
        {1051, {"Slovak", "slo"}},
        {1052, {"Albanian", "alb"}},
        {1053, {"Swedish", "swe"}},
        {1054, {"Thai", "tha"}},
        {2057, {"UK English", ""}},
        {2058, {"Spanish [Mexican]", ""}},
        {2070, {"Portuguese", ""}},
        {3082, {"Spanish [Modern]", ""}},
        {4106, {"Spanish [Guatemala]", ""}},
        {5130, {"Spanish [Costa Rica]", ""}},
        {6154, {"Spanish [Panama]", ""}},
        {7178, {"Spanish [Domican Republic]", ""}},
        {8202, {"Spanish [Venezuela]", ""}},
        {9226, {"Spanish [Columbia]", ""}},
        {10250, {"Spanish [Peru]", ""}},
        {11274, {"Spanish [Argentina]", ""}},
        {12298, {"Spanish [Ecuador]", ""}},
        {13322, {"Spanish [Chile]", ""}},
        {14346, {"Spanish [Uruguay]", ""}},
        {15370, {"Spanish [Paraguay]", ""}},
        {16394, {"Spanish [Bolivia]", ""}},
        {17418, {"Spanish [El Salvador]", ""}},
        {18442, {"Spanish [Hondurus]", ""}},
        {19466, {"Spanish [Nicaragua]", ""}},
        {20490, {"Spanish [Puerto Rico]", ""}},
        // Further languages of the installed engines.
        {0x0436, {"Afrikaans", "afr"}},
        {0x045E, {"Amharic", "amh"}},
        {0x044D, {"Assamese", "asm"}},
        {0x042C, {"Azerbaijani", "aze"}},
        {0x046D, {"Bashkir", "bak"}},
        {0x0423, {"Belarusian", "bel"}},
        {0x0445, {"Bengali", "ben"}},
        {0x141A, {"Bosnian", "bos"}},
        {0x045C, {"Cherokee", "chr"}},
        {0x0452, {"Welsh", "wel"}},
        {0x0425, {"Estonian", "est"}},
        {0x042D, {"Basque", "baq"}},
        {0x0429, {"Persian", "per"}},
        {0x083C, {"Irish", "gle"}},
        {0x0491, {"Scottish Gaelic", "gla"}},
        {0x0474, {"Guarani", "grn"}},
        {0x0447, {"Gujarati", "guj"}},
        {0x0475, {"Hawaiian", "haw"}},
        {0x0439, {"Hindi", "hin"}},
        {0x042B, {"Armenian", "arm"}},
        {0x0421, {"Indonesian", "ind"}},
        {0x0437, {"Georgian", "geo"}},
        {0x043F, {"Kazakh", "kaz"}},
        {0x046F, {"Greenlandic", "kal"}},
        {0x044B, {"Kannada", "kan"}},
        {0x0457, {"Konkani", "kok"}},
        {0x0492, {"Kurdish", "kur"}},
        {0x0440, {"Kyrgyz", "kir"}},
        {0x046E, {"Luxembourgish", "ltz"}},
        {0x0427, {"Lithuanian", "lit"}},
        {0x0426, {"Latvian", "lav"}},
        {0x0481, {"Maori", "mao"}},
        {0x042F, {"Macedonian", "mac"}},
        {0x044C, {"Malayalam", "mal"}},
        {0x044E, {"Marathi", "mar"}},
        {0x043E, {"Malay", "may"}},
        {0x043A, {"Maltese", "mlt"}},
        {0x0455, {"Burmese", "bur"}},
        {0x0461, {"Nepali", "nep"}},
        {0x0472, {"Oromo", "orm"}},
        {0x0448, {"Odia", "ori"}},
        {0x0446, {"Punjabi", "pan"}},
        {0x046B, {"Quechua", "que"}},
        {0x0486, {"K'iche'", "quc"}},
        {0x0459, {"Sindhi", "snd"}},
        {0x045B, {"Sinhala", "sin"}},
        {0x0424, {"Slovenian", "slv"}},
        {0x7C3B, {"Lule Sami", "smj"}},
        {0x081A, {"Serbian", "srp"}},
        {0x0441, {"Swahili", "swa"}},
        {0x0449, {"Tamil", "tam"}},
        {0x044A, {"Telugu", "tel"}},
        {0x0442, {"Turkmen", "tuk"}},
        {0x0432, {"Setswana", "tsn"}},
        {0x041F, {"Turkish", "tur"}},
        {0x0444, {"Tatar", "tat"}},
        {0x0480, {"Uyghur", "uig"}},
        {0x0422, {"Ukrainian", "ukr"}},
        {0x0420, {"Urdu", "urd"}},
        {0x0443, {"Uzbek", "uzb"}},
        {0x042A, {"Vietnamese", "vie"}},
    };
    return table;
}

template <typename Field>
QString lookup(uint16_t id, Field field) {
    for (const uint16_t candidate : {id, uint16_t((id & 0xFF) | 0x400)}) {
        const auto it = table().find(candidate);
        if (it != table().end() && *field(*it)) {
            return QString::fromUtf8(field(*it));
        }
    }
    return {};
}

}  // namespace

QString LanguageName(uint16_t id) {
    return lookup(id, [](const Language& l) { return l.name; });
}

QString LanguageCode(uint16_t id) {
    return lookup(id, [](const Language& l) { return l.code; });
}
