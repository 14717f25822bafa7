#include "speech/espeecherror.h"

#include <QHash>

namespace {

const QHash<int, const char*>& texts() {
    static const QHash<int, const char*> texts = {
        {513, "The speech recognition or text-to-speech service does not have enough data."},
        {514,
         "The sound card does not support the right wave-file format to work with the speech "
         "software."},
        {515, "The audio device is in use at this time."},
        {516, "An invalid parameter was passed to the speech engine."},
        {517,
         "There was an error in disk access, or there is not enough disk space free. If you are "
         "low on disk space, try deleting some files to free up space."},
        {518, "The program has selected a non-existent speech engine."},
        {519, "An invalid list was passed to the speech recognizer."},
        {520, "An invalid character was passed to the speech engine."},
        {521, "An invalid key was passed to the speech engine."},
        {522,
         "There is not enough memory for the text-to-speech engine to finish. Quit some other "
         "programs, and then try again."},
        {523, "The text string passed into the text-to-speech engine is empty."},
        {769, "The program has selected an audio device that does not exist."},
        {770, "The program has not told the sound card what wave-file format to use."},
        {774, "The audio device is not playing."},
        {786, "Your sound card does not support this audio-file format."},
        {787, "The audio device is not recording."},
        {791,
         "The audio driver has not been opened. Double-click the MultiMedia icon in Control Panel "
         "and make sure the correct drivers are loaded."},
        {792, "The audio handle is still busy. Try restarting your computer."},
        {793, "The notification sink is not the right type."},
        {794, "The audio device is not ready."},
        {797, "The audio device has already been claimed."},
        {798, "The audio device is not ready."},
        {799, "The audio device is still in use."},
        {800, "The audio device has already been started."},
        {801, "Cannot use a synchronous audio device."},
        {1807, "No text-to-speech engine is started."},
        {1809, "Voice text could not find the ITTSFind interface."},
        {1810, "Voice text could not create the text-to-speech enumerator object."},
        {1811, "Voice text could not get the site information to start a text-to-speech engine."},
        {1812, "Voice text could not find any text-to-speech engines."},
        {1813, "Voice text could not create the audio destination object."},
        {1814, "Voice text could not set the wave device."},
        {1815, "Voice text could not find a text-to-speech engine to use."},
        {1816, "Voice text could not create a notification sink object."},
        {1817, "Text-to-speech is currently disabled on the computer."},
        {1551,
         "No speech recognition engine could be found. Try reinstalling your speech recognition "
         "program."},
        {2049,
         "Lexicon error - The string that contains the word to pronounce contains an invalid "
         "character."},
        {2050,
         "Lexicon error - The value that indicates the alternate pronunciation or meaning of the "
         "word is invalid."},
        {2051, "Lexicon error - The given word is not in the lexicon."},
        {2052,
         "Lexicon error - The disk does not contain enough space to save the information to be "
         "added to the lexicon. "},
        {2053,
         "Lexicon error - The string that contains the phonetic or phonemic transcription of the "
         "given word contains an invalid character."},
        {2054, "Lexicon error - The lexicon already contains information for the given word."},
        {2055,
         "Lexicon error - The buffer that is to receive the phonetic or phonemic transcription for "
         "the given word is too small."},
        {2056,
         "Lexicon error - The buffer that is to receive the additional information about the given "
         "word is too small."},
    };
    return texts;
}

// The system's own wording for the general result codes.
QString systemMessage(uint32_t code) {
    switch (code) {
        case 0x00000001:
            return QStringLiteral("Incorrect function.");
        case 0x80004001:
            return QStringLiteral("Not implemented");
        case 0x80004005:
            return QStringLiteral("Unspecified error");
        case 0x8007000E:
            return QStringLiteral(
                "Not enough memory resources are available to complete this operation.");
        case 0x80070057:
            return QStringLiteral("The parameter is incorrect.");
        default:
            return QStringLiteral("Unknown error 0x%1")
                .arg(code, 8, 16, QLatin1Char('0'))
                .toUpper();
    }
}

}  // namespace

QString ESpeechError::textFor(uint32_t code) {
    const auto it = texts().find(int(code & 0xFFFF));
    if (it != texts().end()) {
        return QString::fromUtf8(it.value());
    }
    return systemMessage(code);
}

QString ESpeechError::messageFor(uint32_t code) {
    return textFor(code) + QStringLiteral("\r\nOLE error ") +
           QStringLiteral("%1").arg(code, 8, 16, QLatin1Char('0')).toUpper();
}

ESpeechError::ESpeechError(uint32_t code)
    : std::runtime_error(messageFor(code).toStdString()), ErrorCode(code) {}
