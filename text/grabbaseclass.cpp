#include "text/grabbaseclass.h"

#include <QFileInfo>
#include <algorithm>

#include "platform/shell/convert.h"
#include "platform/shell/utilsclass.h"
#include "text/textfile.h"

namespace {

const QString kOpenKey = QStringLiteral("<key");
const QString kCloseKey = QStringLiteral("</key");

}  // namespace

// Every "<key" of the file paired with the "</key" that brings the nesting count back to zero,
// found in one pass, so no section is scanned again for each level it is nested in.
class GrabBaseClass::KeyTags {
  public:
    explicit KeyTags(QStringView text) : m_text(text) {
        std::vector<size_t> open;
        for (qsizetype at = text.indexOf(u'<'); at >= 0; at = text.indexOf(u'<', at + 1)) {
            const QStringView from = text.mid(at);
            if (from.startsWith(kOpenKey, Qt::CaseInsensitive)) {
                open.push_back(m_opens.size());
                m_opens.push_back({at, -1});
            } else if (from.startsWith(kCloseKey, Qt::CaseInsensitive) && !open.empty()) {
                m_opens[open.back()].close = at;
                open.pop_back();
            }
        }
    }

    // Position in the file of the "</key" matching the "<key" at open; -1 when none.
    qsizetype matchOf(qsizetype open) const {
        const auto it =
            std::lower_bound(m_opens.begin(), m_opens.end(), open,
                             [](const Tag& tag, qsizetype at) { return tag.open < at; });
        return it != m_opens.end() && it->open == open ? it->close : -1;
    }
    // Position in the file of a character of a view into it.
    qsizetype offset(QStringView view, qsizetype index) const {
        return (view.data() - m_text.data()) + index;
    }

  private:
    struct Tag {
        qsizetype open;
        qsizetype close;
    };
    QStringView m_text;
    std::vector<Tag> m_opens;
};

GrabBaseClass::GrabBaseClass() = default;
GrabBaseClass::~GrabBaseClass() = default;

QString GrabBaseClass::LoadFile(const QString& fileName) {
    FileName = fileName;
    Content.clear();
    Root.reset();
    if (!QFileInfo(fileName).isFile()) {
        return QStringLiteral("File:") + fileName + QStringLiteral(" Not Found.");
    }
    QStringList lines;
    QString error;
    if (!TextFile::readLines(fileName, &lines, &error)) {
        UtilsClass::WriteDebugLine(QStringLiteral("Cannot read ") + fileName +
                                   QStringLiteral(": ") + error);
        return error;
    }
    QString text;
    for (const QString& line : lines) {
        text += line.trimmed();
    }
    loadText(text);
    return {};
}

void GrabBaseClass::loadText(const QString& text) {
    Content = text;
    m_depthWarned = false;
    Root = std::make_unique<GBItemClass>(QStringView(Content), QString(), QString(), nullptr);
    const KeyTags tags(Content);
    parse(*Root, tags);
}

void GrabBaseClass::parse(GBItemClass& section, const KeyTags& tags) {
    QStringView rest = section.Content;
    for (;;) {
        const qsizetype open = rest.indexOf(u'<');
        if (open < 0) {
            break;
        }
        const qsizetype close = rest.indexOf(u'>', open + 1);
        if (close < 0) {
            break;  // no tag can be complete any more
        }
        const QStringView tag = rest.mid(open + 1, close - open - 1);
        const qsizetype end = tag.startsWith(QStringView(u"key"), Qt::CaseInsensitive)
                                  ? parseSubsection(section, rest, tag, open, tags)
                                  : parseValue(section, rest, tag, close);
        rest = rest.mid(end + 1, kStep);
    }
}

qsizetype GrabBaseClass::parseSubsection(GBItemClass& section, QStringView rest, QStringView tag,
                                         qsizetype open, const KeyTags& tags) {
    const qsizetype equals = tag.indexOf(u'=');
    const QString name = tag.mid(equals + 1).toString();
    const QString attribute = equals >= 4 ? tag.mid(4, equals - 4).toString() : QString();

    // The ">" after the matching "</key", if both lie in what is left of this section;
    // a section that is never closed takes the rest.
    qsizetype end = rest.size() - 1;
    const qsizetype match = tags.matchOf(tags.offset(rest, open));
    if (match >= 0) {
        const qsizetype closeAt = match - tags.offset(rest, 0);
        if (closeAt + kCloseKey.size() <= rest.size()) {
            const qsizetype gt = rest.indexOf(u'>', closeAt);
            if (gt >= 0) {
                end = gt;
            }
        }
    }
    // The content starts just after the "<" of the section's own opening tag (the rest of that
    // tag holds no "<" and is skipped by the section's own parse).
    QStringView content = rest.mid(open + 1, end - open - 1);
    const qsizetype lastClose = content.lastIndexOf(kCloseKey, -1, Qt::CaseInsensitive);
    if (lastClose >= 0) {
        content = content.left(lastClose);
    }
    section.Children.push_back(std::make_unique<GBItemClass>(content, name, attribute, &section));
    GBItemClass& child = *section.Children.back();
    if (child.Depth <= kMaxDepth) {
        parse(child, tags);
    } else if (!m_depthWarned) {
        m_depthWarned = true;
        UtilsClass::WriteDebugLine(QStringLiteral("Sections nested too deeply are not read in ") +
                                   FileName);
    }
    return end;
}

qsizetype GrabBaseClass::parseValue(GBItemClass& section, QStringView rest, QStringView tag,
                                    qsizetype close) {
    const QString closing = QStringLiteral("</") + tag.toString() + QLatin1Char('>');
    const qsizetype closeAt = rest.indexOf(closing, close + 1);
    if (closeAt < 0) {
        section.Values.SetValue(tag.toString(), QString());
        return close;
    }
    section.Values.SetValue(tag.toString(), rest.mid(close + 1, closeAt - close - 1).toString());
    return closeAt + closing.size() - 1;
}

const GBItemClass* GrabBaseClass::findSection(const QString& path) const {
    if (!Root) {
        return nullptr;
    }
    if (path == QStringLiteral("/")) {
        return Root.get();
    }
    // Depth first, in order, without recursion.
    std::vector<const GBItemClass*> pending{Root.get()};
    while (!pending.empty()) {
        const GBItemClass* item = pending.back();
        pending.pop_back();
        if (item->Path == path) {
            return item;
        }
        for (auto it = item->Children.rbegin(); it != item->Children.rend(); ++it) {
            pending.push_back(it->get());
        }
    }
    return nullptr;
}

QString GrabBaseClass::GetValue(const QString& path, const QString& name) const {
    const GBItemClass* section = findSection(path);
    return section ? section->Values.GetValue(name) : QString();
}

void GrabBaseClass::GetList(const QString& path, const QString& name, QStringList& list) const {
    list.clear();
    const GBItemClass* section = findSection(path);
    if (!section || section->Values.indexOf(name) < 0) {
        return;
    }
    const int count = strToInt(section->Values.GetValue(name));
    // Items past the values the section holds can only be empty; a damaged count must not
    // make the list grow without bound.
    const qsizetype items = std::min<qsizetype>(count, section->Values.count());
    for (qsizetype i = 0; i < items; ++i) {
        list << section->Values.GetValue(name + QString::number(i));
    }
}
