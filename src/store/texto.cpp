#include "texto.h"

namespace kv {

namespace {

// Bytes 0x80-0x9F of the code page. The five bytes it leaves free read as the
// control character of the same number, so that such files come back
// byte for byte when written again.
constexpr char16_t kAltos[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr int kSinCodigo = '?';

} // namespace

int codigoCp1252(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kAltos[i] == u)
            return 0x80 + i;
    }
    return kSinCodigo;
}

QByteArray aCp1252(QStringView texto)
{
    QByteArray bytes;
    anadirCp1252(bytes, texto);
    return bytes;
}

void anadirCp1252(QByteArray &bytes, QStringView texto)
{
    // Written straight into the buffer: long reports pass every line here.
    const qsizetype inicio = bytes.size();
    bytes.resize(inicio + texto.size());
    char *destino = bytes.data() + inicio;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        // A character outside the basic plane is one "?", not two.
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto[i + 1].isLowSurrogate())
            ++i;
        const char16_t u = c.unicode();
        *destino++ = char(u < 0x80 ? u : codigoCp1252(c));
    }
    bytes.truncate(destino - bytes.constData());
}

QString desdeCp1252(QByteArrayView bytes)
{
    QString texto(bytes.size(), Qt::Uninitialized);
    QChar *destino = texto.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *destino++ = QChar(u >= 0x80 && u < 0xA0 ? kAltos[u - 0x80] : char16_t(u));
    }
    return texto;
}

QString recortarBlancos(QStringView texto)
{
    qsizetype inicio = 0;
    qsizetype fin = texto.size();
    while (inicio < fin && texto[inicio] == u' ')
        ++inicio;
    while (fin > inicio && texto[fin - 1] == u' ')
        --fin;
    return texto.sliced(inicio, fin - inicio).toString();
}

} // namespace kv
