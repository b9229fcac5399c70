#include "offline/BytePath.h"

namespace {
constexpr char16_t kRawByteBase = 0xDC00; // raw byte b (>= 0x80) is held as U+DC00 + b
constexpr char16_t kRawFirst = 0xDC80;
constexpr char16_t kRawLast = 0xDCFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence at `at` and its code point; 0 when
// the bytes there do not form one (overlong forms, surrogates and values
// above U+10FFFF are not valid).
int SequenceAt(const QByteArray& bytes, qsizetype at, char32_t& code)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    int length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if (!IsContinuation(next))
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

void AppendUtf8(QByteArray& out, char32_t code)
{
    if (code < 0x80) {
        out.append(static_cast<char>(code));
    } else if (code < 0x800) {
        out.append(static_cast<char>(0xC0 | (code >> 6)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(static_cast<char>(0xE0 | (code >> 12)));
        out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (code >> 18)));
        out.append(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool IsRawByte(char16_t unit) { return unit >= kRawFirst && unit <= kRawLast; }
}

QString CBytePath::Decode(const QByteArray& bytes)
{
    QString path;
    path.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t code = 0;
        const int length = SequenceAt(bytes, at, code);
        if (length == 0) {
            path.append(QChar(static_cast<char16_t>(kRawByteBase + static_cast<unsigned char>(bytes[at]))));
            ++at;
            continue;
        }
        const char32_t one[1] = { code };
        path.append(QString::fromUcs4(one, 1));
        at += length;
    }
    return path;
}

QByteArray CBytePath::Encode(const QString& path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        if (IsRawByte(unit)) {
            bytes.append(static_cast<char>(unit - kRawByteBase));
        } else if (QChar::isHighSurrogate(unit) && i + 1 < path.size() && path[i + 1].isLowSurrogate()) {
            AppendUtf8(bytes, QChar::surrogateToUcs4(unit, path[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            AppendUtf8(bytes, 0xFFFD); // a lone surrogate no decoding produced
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}

bool CBytePath::HasRawBytes(const QString& path)
{
    for (const QChar c : path) {
        if (IsRawByte(c.unicode()))
            return true;
    }
    return false;
}

QString CBytePath::ForReport(const QString& path)
{
    if (!HasRawBytes(path))
        return path;
    QString shown;
    for (const QChar c : path) {
        if (IsRawByte(c.unicode()))
            shown += QStringLiteral("\\x") + QString::number(c.unicode() - kRawByteBase, 16).toUpper();
        else
            shown += c;
    }
    return shown;
}
