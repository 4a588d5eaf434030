#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "engine/morse_table.h"
#include "exercises/character_sets.h"
#include "platform/services.h"

// The data files delivered with the trainer, in the source tree.
inline QString deliveredDataDir() {
    return qEnvironmentVariable("TRAINER_SOURCE_DIR") + QStringLiteral("/data");
}

// Makes the data lookup see `dir` as the installed data folder for the life of the scope.
class InstalledDataScope {
public:
    explicit InstalledDataScope(const QString& dir) : saved_(Platform().installedDataDir) {
        Platform().installedDataDir = dir;
    }
    ~InstalledDataScope() { Platform().installedDataDir = saved_; }

private:
    QString saved_;
};

// An empty working directory for the life of the scope, with no installed data behind it
// unless a test copies files in.
class WorkDirScope {
public:
    WorkDirScope() : saved_(QDir::currentPath()), data_(QString()) {
        QDir::setCurrent(dir_.path());
    }
    ~WorkDirScope() { QDir::setCurrent(saved_); }

    QString path(const QString& name) const { return dir_.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }
    void copyDelivered(const QString& name) const {
        QFile::copy(deliveredDataDir() + u'/' + name, path(name));
    }

private:
    QString saved_;
    QTemporaryDir dir_;
    InstalledDataScope data_;
};

// Windows-1252 bytes of a text, and back.
inline QByteArray toCp1252(const QString& text) {
    QByteArray bytes;
    for (QChar c : text) bytes.append(static_cast<char>(Cp1252Code(c)));
    return bytes;
}

// A record or line as the data files store it: padded to `length` (0 = as it is), scrambled.
inline QByteArray scrambled(const QString& plain, int length = 0) {
    QString text = length > 0 ? plain.leftJustified(length, u' ') : plain;
    EncodeText(text);
    return toCp1252(text);
}

// The records of a fixed-length data file, unscrambled.
inline QStringList decodedRecords(const QByteArray& bytes, int length) {
    QStringList records;
    for (qsizetype at = 0; at + length <= bytes.size(); at += length) {
        QString record = TextFromCp1252(bytes.mid(at, length));
        DecodeText(record);
        records << record;
    }
    return records;
}
