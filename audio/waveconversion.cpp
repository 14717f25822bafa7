#include "audio/waveconversion.h"

#include "audio/mmwavefile.h"
#include "platform/shell/utilsclass.h"

Outcome ConvertWaveFile(const QString& inFile, const QString& outFile, uint16_t bits,
                        uint16_t channels, uint32_t sampleRate,
                        const std::function<void()>& processEvents) {
    UtilsClass::WriteDebugLine(QStringLiteral("Entered ConvertWaveFile [%1 %2 %3]")
                                   .arg(bits)
                                   .arg(channels)
                                   .arg(sampleRate));
    UtilsClass::WriteDebugLine(QStringLiteral("Infile: ") + inFile);
    UtilsClass::WriteDebugLine(QStringLiteral("OutFile: ") + outFile);
    TMMWaveFile component;
    component.Wave.ProcessEvents = processEvents;
    component.Wave.SetFileName(inFile);  // opening errors go to the caller
    try {
        const TWaveFormatEx target = BuildPcmFormat(bits, channels, sampleRate);
        component.Wave.ConvertToFile(outFile, &target);
        return Outcome::success();
    } catch (const std::exception& error) {
        return Outcome::failure(QString::fromUtf8(error.what()));
    }
}

uint32_t GetWaveSampleRate(const QString& fileName) {
    TMMWaveFile component;
    component.Wave.SetFileName(fileName);
    return component.Wave.SampleRate();
}
