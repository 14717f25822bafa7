#include "tests/documents/zipwriter.h"

#include <zip.h>
#include <QFile>

bool WriteZip(const QString& path, const QList<QPair<QString, QByteArray>>& members) {
    int code = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        return false;
    }
    bool ok = true;
    for (qsizetype i = 0; i < members.size() && ok; ++i) {
        const QByteArray& bytes = members[i].second;
        // libzip reads the buffer when the archive is closed: it must live until then.
        zip_source_t* source =
            zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index = source
                                      ? zip_file_add(archive, members[i].first.toUtf8().constData(),
                                                     source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8)
                                      : -1;
        if (index < 0) {
            zip_source_free(source);
            ok = false;
        } else if (i == 0) {
            ok = zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) == 0;
        }
    }
    if (!ok) {
        zip_discard(archive);
        return false;
    }
    return zip_close(archive) == 0;
}
