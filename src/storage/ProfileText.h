#pragma once

// What the profile file and the profile writer share: the text encodings of a profile file's
// bytes, and the checks made before a file is replaced.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>

#include <algorithm>
#include <array>
#include <vector>

namespace storage {

// The text encoding of a profile file's bytes. A file that starts with a UTF-8 byte-order mark
// is read and written as UTF-8 with the mark, whatever this says.
enum class Encoding {
    Windows1250,  // caption files ("info.txt" and its kin)
    Utf8,         // the settings file
    Utf8WithBom,  // caption files of an album whose "info.txt" has the mark: a file made new gets
                  // the mark too; an existing file without it is the Windows-1250 file it was
};

// Windows-1250 holds one character a byte. Its 256 characters are read once from the system's
// converter; text and bytes are then turned into each other by table, for a fraction of what
// a converter call per value costs (a caption file of 50,000 photos holds 250,000 values). Only
// what the converter itself gives back unchanged can be written: no substitute ever.
class Cp1250Table {
public:
    Cp1250Table();

    QString decode(QByteArrayView bytes) const
    {
        QString text(bytes.size(), Qt::Uninitialized);
        char16_t* out = reinterpret_cast<char16_t*>(text.data());
        for (qsizetype i = 0; i < bytes.size(); ++i)
            out[i] = toText_[uchar(bytes[i])];
        return text;
    }

    // False when the encoding does not have `c`.
    bool encode(char16_t c, char& byte) const
    {
        byte = char(fromText_[c]);
        return writable_[c];
    }

    // False when `text` holds a character the encoding does not have.
    bool encode(QStringView text, QByteArray& bytes) const
    {
        bytes.resize(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (!writable_[c])
                return false;
            bytes[i] = char(fromText_[c]);
        }
        return true;
    }

    bool canEncode(QStringView text) const
    {
        return std::all_of(text.begin(), text.end(), [this](QChar c) { return bool(writable_[c.unicode()]); });
    }

private:
    std::array<char16_t, 256> toText_ {};
    std::vector<uchar> fromText_;
    std::vector<bool> writable_;
};

const Cp1250Table& cp1250();

// A UTF-8 byte-order mark.
inline const QByteArray Bom("\xEF\xBB\xBF");

QStringEncoder makeEncoder(Encoding encoding);
QStringDecoder makeDecoder(Encoding encoding);
// "\r\n", "\n" and a lone "\r" all become CR LF.
QString withCrLf(const QString& value);

// Whether a file at `path`, if there is one, may be replaced as far as the file itself goes: it
// must be a regular file this program could write (a read-only file stays so). Whoever calls
// this knows whether it could be read.
bool writableIfThere(const QString& path);
// Whether a file at `path`, if there is one, is a regular file this program can read.
bool readableIfThere(const QString& path);
// Whether `path`'s folder takes a new file: a file is replaced by a new one beside it, never
// written in place.
bool folderTakesNewFile(const QString& path);

}  // namespace storage
