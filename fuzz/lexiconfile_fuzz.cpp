// The pronunciation lexicon file: read, written back and read again without losing an entry or
// a kept line; then its entries applied to the same input as a text, whose every position must
// map into the original text, never going backwards.
#include <QByteArray>
#include <QString>

#include "fuzz/scratchfolder.h"
#include "platform/speechapi/lexiconmatcher.h"
#include "speech/lexiconfile.h"
#include "text/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ScratchFolder::instance();  // the debug log, if any, goes to the scratch folder
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const LexiconContents contents = LexiconFile::parse(bytes);
    const LexiconContents again = LexiconFile::parse(LexiconFile::serialise(contents));
    FUZZ_CHECK(again.entries.size() == contents.entries.size());
    FUZZ_CHECK(again.problems.size() == contents.problems.size());
    for (const LexiconProblem& problem : contents.problems) {
        (void)LexiconFile::describe(problem);
    }

    const QString original = TextFile::decode(bytes);
    const bool phonemes = size > 0 && (data[0] & 1) != 0;
    const LexiconMatcher matcher(contents.entries, QStringLiteral("en"), phonemes);
    const LexiconText spoken = matcher.apply(original);
    int previous = 0;
    for (int position = 0; position <= spoken.text.size(); ++position) {
        const int mapped = spoken.originalPosition(position);
        FUZZ_CHECK(mapped >= 0 && mapped <= original.size());
        FUZZ_CHECK(mapped >= previous);
        previous = mapped;
    }
    return 0;
}
