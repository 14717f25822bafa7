// The speech filter over a text as the program reads it aloud: every position of the filtered
// text must map into the original text, and mapped positions never go backwards.
#include <QByteArray>
#include <QString>

#include "fuzz/scratchfolder.h"
#include "text/textfile.h"
#include "text/ttsfilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ScratchFolder::instance();  // the debug log, if any, goes to the scratch folder
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the engine's flags and whether symbols are blanked out.
    const uint32_t flags = data[0] & 3;
    const bool symbols = (data[0] & 4) != 0;
    const QString original =
        TextFile::decode(QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));

    TTTSFilter filter;
    const QString filtered = filter.FilterText(flags, original, symbols);
    int64_t previous = 0;
    for (int64_t position = 0; position <= filtered.size(); ++position) {
        const int64_t mapped = filter.MapPosition(position);
        FUZZ_CHECK(mapped >= 0 && mapped <= original.size());
        FUZZ_CHECK(mapped >= previous);
        previous = mapped;
    }
    return 0;
}
