#include "storage/ProfileFile.h"
#include "storage/ProfileText.h"

#include <cstring>
#include <exception>

namespace storage {

ProfileWriter::ProfileWriter(const QString& path, Encoding encoding)
    : path_(path),
      table_(encoding == Encoding::Windows1250 ? &cp1250() : nullptr),
      bom_(encoding == Encoding::Utf8WithBom),
      encoder_(makeEncoder(encoding)),
      decoder_(makeDecoder(encoding)),
      exceptionsAtStart_(std::uncaught_exceptions())
{
}

ProfileWriter::~ProfileWriter()
{
    if (std::uncaught_exceptions() > exceptionsAtStart_)
        return;  // the new file is removed with file_
    try {
        Flush();
    } catch (...) {
        // Nothing can be reported from here; the old file stays whole.
    }
}

bool ProfileWriter::put(char*& out, QStringView text, bool lineBreaks)
{
    // Straight into the file's bytes, in one pass and without a copy per value (a save of a big
    // album writes a quarter of a million of them); line breaks become CR LF on the way.
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        // Most of every caption is printable ASCII: four characters at a time while they are.
        while (i + 4 <= size) {
            quint64 four;
            std::memcpy(&four, units + i, sizeof four);
            constexpr quint64 Spaces = 0x0020002000200020ULL;
            constexpr quint64 High = 0xFF80FF80FF80FF80ULL;
            if (((four | (four - Spaces)) & High) != 0)
                break;  // one of them is below a blank or beyond ASCII
            out[0] = char(four);
            out[1] = char(four >> 16);
            out[2] = char(four >> 32);
            out[3] = char(four >> 48);
            out += 4;
            i += 4;
        }
        if (i >= size)
            break;
        const char16_t c = units[i];
        if (c >= 0x20 && c < 0x80) {
            *out++ = char(c);
        } else if (lineBreaks && (c == u'\r' || c == u'\n')) {
            *out++ = '\r';
            *out++ = '\n';
            if (c == u'\r' && i + 1 < text.size() && units[i + 1] == u'\n')
                ++i;
        } else if (c < 0x80) {
            *out++ = char(c);
        } else if (table_) {
            if (!table_->encode(c, *out++))
                return false;
        } else {  // UTF-8 beyond ASCII: the converter does the rest (room was made for it)
            const QString rest = text.sliced(i).toString();
            const QString written = lineBreaks ? withCrLf(rest) : rest;
            const QByteArray encoded = encoder_.encode(written);
            if (QString(decoder_.decode(encoded)) != written)  // never a substitute character
                return false;
            std::memcpy(out, encoded.constData(), size_t(encoded.size()));
            out += encoded.size();
            return true;
        }
    }
    return true;
}

void ProfileWriter::WriteString(const QString& section, const QString& key, const QString& value)
{
    if (!writable_) {
        // An existing file must be one this program could write (not a folder, not read-only),
        // as for ProfileFile, and read: replacing one it cannot read would lose what it holds,
        // unseen. The new file beside it must be possible.
        if (!readableIfThere(path_) || !writableIfThere(path_))
            throw EIniFileException(path_);
        file_ = std::make_unique<platform::FileReplacement>(path_);
        if (!file_->ok())
            throw EIniFileException(path_);
        writable_ = true;
        bytes_.resize(PieceBytes);
        used_ = 0;
        if (bom_) {
            std::memcpy(bytes_.data(), Bom.constData(), size_t(Bom.size()));
            used_ = Bom.size();
        }
    }
    // The caller passes the same section string for each of its entries: the same text at the
    // same place needs no comparing.
    const bool sameSection = dirty_ && ((section.constData() == section_.constData() && section.size() == section_.size()) ||
                                        section == section_);
    const bool newSection = !sameSection;
    const QStringView sectionName = newSection ? withoutBlanksAround(section) : QStringView();
    const QStringView keyName = withoutBlanksAround(key);
    // Room for the worst case: three bytes a character in UTF-8, CR LF for each line break.
    const qsizetype most = 3 * (sectionName.size() + keyName.size() + value.size()) + 8;
    if (used_ + most > bytes_.size()) {
        drain();
        if (most > bytes_.size())
            bytes_.resize(most);
    }
    char* out = bytes_.data() + used_;
    bool ok = true;
    if (newSection) {
        *out++ = '[';
        ok = put(out, sectionName, false);
        *out++ = ']';
        *out++ = '\r';
        *out++ = '\n';
    }
    ok = ok && put(out, keyName, false);
    *out++ = '=';
    ok = ok && put(out, value, true);
    *out++ = '\r';
    *out++ = '\n';
    if (!ok)  // a write refused part way changes nothing
        throw EIniFileException(path_);
    used_ = out - bytes_.constData();
    if (newSection) {
        section_ = section;
        dirty_ = true;
    }
}

void ProfileWriter::drain()
{
    if (used_ == 0)
        return;
    if (!file_->write(QByteArrayView(bytes_).first(used_)))
        throw EIniFileException(path_);
    used_ = 0;
}

void ProfileWriter::Flush()
{
    if (!dirty_)
        return;
    // Whatever happens, this file is ended: a failed one is given up (the old file stays).
    writable_ = false;
    dirty_ = false;
    const std::unique_ptr<platform::FileReplacement> file = std::move(file_);
    if (!file->write(QByteArrayView(bytes_).first(used_)) || !file->commit())
        throw EIniFileException(path_);
}

}  // namespace storage
