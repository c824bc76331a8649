#include "numeros.h"

#include <QString>
#include <limits>

namespace kv {

namespace {

bool esCifra(QStringView t, qsizetype i)
{
    return i >= 0 && i < t.size() && t[i] >= u'0' && t[i] <= u'9';
}

bool esBlanco(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

QStringView sinBlancos(QStringView t)
{
    while (!t.isEmpty() && esBlanco(t.front()))
        t = t.sliced(1);
    while (!t.isEmpty() && esBlanco(t.back()))
        t.chop(1);
    return t;
}

// The digits of a number and where its point falls among them, counted from
// the first digit (the exponent has already moved it).
struct Cifras
{
    QString cifras;
    qsizetype punto = 0;
};

// Reads "1234.5E-2" from position i and leaves i after it. With `comas`, a
// comma between two digits of the whole part is a thousands separator.
// Without digits there is no number; an exponent without digits is not read.
std::optional<Cifras> leerCifras(QStringView t, qsizetype &i, bool comas)
{
    Cifras c;
    for (;;) {
        if (esCifra(t, i)) {
            c.cifras += t[i++];
            ++c.punto;
        } else if (comas && i < t.size() && t[i] == u',' && esCifra(t, i - 1) && esCifra(t, i + 1)) {
            ++i;
        } else {
            break;
        }
    }
    if (i < t.size() && t[i] == u'.') {
        ++i;
        while (esCifra(t, i))
            c.cifras += t[i++];
    }
    if (c.cifras.isEmpty())
        return std::nullopt;

    if (i < t.size() && QStringView(u"EeDd").contains(t[i])) {
        qsizetype k = i + 1;
        const bool negativo = k < t.size() && t[k] == u'-';
        if (k < t.size() && (t[k] == u'-' || t[k] == u'+'))
            ++k;
        if (esCifra(t, k)) {
            qsizetype exponente = 0;
            for (; esCifra(t, k); ++k) // far beyond any representable value already
                exponente = std::min<qsizetype>(exponente * 10 + (t[k].unicode() - u'0'), 100000);
            c.punto += negativo ? -exponente : exponente;
            i = k;
        }
    }
    return c;
}

// The digits as a Decimal; nullopt beyond its range.
std::optional<Decimal> aDecimal(const Cifras &c, bool negativo)
{
    QStringView cifras = c.cifras;
    qsizetype punto = c.punto;
    while (cifras.startsWith(u'0')) {
        cifras = cifras.sliced(1);
        --punto;
    }
    if (cifras.isEmpty() || punto < -Decimal::kDecimales)
        return Decimal();
    if (punto > 40)
        return std::nullopt;
    QString plano = negativo ? QStringLiteral("-") : QString();
    if (punto <= 0) {
        plano += u'.';
        plano += QString(-punto, u'0');
        plano += cifras;
    } else if (punto >= cifras.size()) {
        plano += cifras;
        plano += QString(punto - cifras.size(), u'0');
    } else {
        plano += cifras.left(punto);
        plano += u'.';
        plano += cifras.sliced(punto);
    }
    return Decimal::leer(plano);
}

// "&H"/"&O" integers: the digits from position i in base 16 or 8.
std::optional<Decimal> leerBase(QStringView t, qsizetype &i, int base)
{
    std::uint64_t n = 0;
    const qsizetype inicio = i;
    for (; i < t.size(); ++i) {
        const int d = QStringView(u"0123456789ABCDEF").left(base).indexOf(t[i].toUpper());
        if (d < 0)
            break;
        if (n > (std::uint64_t(std::numeric_limits<std::int64_t>::max()) - d) / base)
            return std::nullopt;
        n = n * base + d;
    }
    if (i == inicio)
        return std::nullopt;
    return Decimal::entero(std::int64_t(n));
}

int basePrefijo(QStringView t)
{
    if (t.startsWith(u"&H", Qt::CaseInsensitive))
        return 16;
    if (t.startsWith(u"&O", Qt::CaseInsensitive))
        return 8;
    return 0;
}

} // namespace

std::optional<Decimal> convertirNumero(QStringView texto)
{
    QStringView t = sinBlancos(texto);
    qsizetype i = 0;
    if (const int base = basePrefijo(t)) {
        i = 2;
        const auto n = leerBase(t, i, base);
        return i == t.size() ? n : std::nullopt;
    }

    bool negativo = false;
    if (t.size() >= 2 && t.front() == u'(' && t.back() == u')') {
        negativo = true;
        t = t.sliced(1, t.size() - 2);
    } else if (t.startsWith(u'-') || t.startsWith(u'+')) {
        negativo = t.front() == u'-';
        t = t.sliced(1);
    } else if (t.endsWith(u'-') || t.endsWith(u'+')) {
        negativo = t.back() == u'-';
        t.chop(1);
    }
    t = sinBlancos(t);
    const auto c = leerCifras(t, i, true);
    if (!c || i != t.size())
        return std::nullopt;
    return aDecimal(*c, negativo);
}

bool esNumerico(QStringView texto)
{
    return convertirNumero(texto).has_value();
}

Decimal val(QStringView texto)
{
    QString t;
    for (const QChar c : texto) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            t += c;
    }
    qsizetype i = 0;
    if (const int base = basePrefijo(t)) {
        i = 2;
        return leerBase(t, i, base).value_or(Decimal());
    }
    const bool negativo = t.startsWith(u'-');
    if (negativo || t.startsWith(u'+'))
        ++i;
    const auto c = leerCifras(t, i, false);
    return c ? aDecimal(*c, negativo).value_or(Decimal()) : Decimal();
}

std::int64_t valEntero(QStringView texto)
{
    return val(texto).aEnteroPar();
}

Decimal valorRedondeado(QStringView texto, int decimales)
{
    const auto numero = convertirNumero(texto);
    return numero ? numero->redondeado(decimales) : Decimal();
}

} // namespace kv
