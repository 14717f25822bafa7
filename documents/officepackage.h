#pragma once

#include <QString>
#include <QXmlStreamReader>
#include <atomic>

#include "documents/document.h"
#include "documents/plaintextbuilder.h"
#include "documents/ziparchive.h"

// An office document of zipped XML parts (DOCX, ODT) read as one chapter of plain text: its
// main part walked element by element by the format's own rules, its title taken from the
// dc:title of its properties part.
class OfficePackage {
  public:
    // The format's rules for the elements of its main part.
    class Content {
      public:
        virtual ~Content() = default;
        // Why the package cannot be read although its main part is there ("it is encrypted");
        // empty when it can.
        virtual QString refusal(const QString& /*fileName*/, const ZipArchive&) {
            return QString();
        }
        // An element begins; it may be passed over whole with xml.skipCurrentElement().
        virtual void start(QXmlStreamReader& xml, PlainTextBuilder& text) = 0;
        virtual void end(QXmlStreamReader& xml, PlainTextBuilder& text) = 0;
        virtual void characters(QXmlStreamReader& xml, PlainTextBuilder& text) = 0;
    };

    struct Parts {
        QString main;        // the part that holds the text
        QString notOfKind;   // the reason given when the main part is missing
        QString properties;  // the part that holds the title; it may be missing
    };

    // On failure error holds the reason alone; cancel, when set, ends the reading early.
    static Document read(const QString& fileName, const Parts& parts, Content& content,
                         const std::atomic<bool>* cancel);

    // A part that only adds to what is read (a title, a manifest) and is done without when it is
    // missing or damaged: false then, with the damage logged.
    static bool readOptionalPart(const QString& fileName, const ZipArchive& zip,
                                 const QString& member, QByteArray* bytes);
    // Logs the XML error, if any, of such a part once read.
    static void logOptionalPartError(const QString& fileName, const QString& member,
                                     const QXmlStreamReader& xml);
};
