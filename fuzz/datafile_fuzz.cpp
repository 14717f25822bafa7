// The tagged data files (".chl"): loaded as the help and the voice test load them, then every
// section's values and lists looked up the way the program asks for them.
#include <QString>
#include <QStringList>
#include <exception>

#include "fuzz/scratchfolder.h"
#include "text/grabbaseclass.h"

namespace {

// Lookups walk the whole tree: a few hundred sections keep a run fast.
constexpr int kLookedUpSections = 200;

void visit(const GrabBaseClass& file, const GBItemClass& section, int* budget) {
    if (--*budget < 0) {
        return;
    }
    FUZZ_CHECK(file.findSection(section.Path) != nullptr);
    for (qsizetype i = 0; i < section.Values.count(); ++i) {
        const QString& name = section.Values.Names[i];
        (void)file.GetValue(section.Path, name);
        QStringList list;
        try {
            file.GetList(section.Path, name, list);
        } catch (const std::exception&) {
            // a count that is not a number: the program reports it as such
        }
    }
    for (const auto& child : section.Children) {
        FUZZ_CHECK(child->Parent == &section);
        visit(file, *child, budget);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = ScratchFolder::instance().write(QStringLiteral("data.chl"), data, size);
    GrabBaseClass file;
    if (!file.LoadFile(path).isEmpty()) {
        return 0;
    }
    if (file.Root) {
        int budget = kLookedUpSections;
        visit(file, *file.Root, &budget);
    }
    (void)file.GetValue(QStringLiteral("/"), QStringLiteral("en"));
    return 0;
}
