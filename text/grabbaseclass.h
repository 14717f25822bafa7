#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "text/gbitemclass.h"

// A tagged data file (".chl"): nested "<key name=...>" sections holding "<name>value</name>"
// elements, read into a tree of sections.
class GrabBaseClass {
  public:
    // Sections nested deeper than this are kept but not read, so no file can exhaust the stack.
    static constexpr int kMaxDepth = 500;
    // After each element, at most this many characters of the rest of a section are read on.
    static constexpr qsizetype kStep = 100000;

    GrabBaseClass();
    ~GrabBaseClass();

    // Reads and parses the file; the error text is empty on success.
    QString LoadFile(const QString& fileName);
    // Parses text as the content of a file.
    void loadText(const QString& text);
    // The value of name in the section at path; empty when either is missing.
    QString GetValue(const QString& path, const QString& name) const;
    // The items of list name: the value name holds their count, name0, name1 … the items.
    // Raises ConvertError when the count is not a number.
    void GetList(const QString& path, const QString& name, QStringList& list) const;
    const GBItemClass* findSection(const QString& path) const;

    QString FileName;
    QString Content;
    std::unique_ptr<GBItemClass> Root;

  private:
    class KeyTags;
    void parse(GBItemClass& section, const KeyTags& tags);
    qsizetype parseSubsection(GBItemClass& section, QStringView rest, QStringView tag,
                              qsizetype open, const KeyTags& tags);
    qsizetype parseValue(GBItemClass& section, QStringView rest, QStringView tag, qsizetype close);
    bool m_depthWarned = false;
};
