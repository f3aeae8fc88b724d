// PNG files built by hand in tests: a block with its length and check sum.
#pragma once

#include <QByteArray>

#include <zlib.h>

inline void be32(QByteArray &b, quint32 v)
{
    b.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

inline void block(QByteArray &png, const char *typ, const QByteArray &inhalt)
{
    be32(png, quint32(inhalt.size()));
    const QByteArray t = QByteArray(typ, 4) + inhalt;
    png += t;
    be32(png, quint32(crc32(0, reinterpret_cast<const Bytef *>(t.constData()), uInt(t.size()))));
}
