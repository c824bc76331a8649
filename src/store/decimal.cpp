#include "decimal.h"

#include <limits>

namespace kv {

namespace {

using Natural = unsigned __int128;

constexpr Natural kMaximo = Natural(std::numeric_limits<__int128>::max());

constexpr Natural potencia10(int n)
{
    Natural p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Magnitude without overflow, also for the most negative value.
Natural magnitud(__int128 u)
{
    return u < 0 ? -Natural(u) : Natural(u);
}

__int128 conSigno(Natural m, bool negativo)
{
    return negativo ? -__int128(m) : __int128(m);
}

// a / b with the remainder rounded half away from zero (a and b magnitudes).
Natural dividirRedondeando(Natural a, Natural b)
{
    const Natural q = a / b;
    return a % b >= b - a % b ? q + 1 : q;
}

__int128 redondear(__int128 unidades, int decimales, bool par)
{
    if (decimales >= Decimal::kDecimales)
        return unidades;
    const Natural paso = potencia10(Decimal::kDecimales - (decimales < 0 ? 0 : decimales));
    const Natural m = magnitud(unidades);
    Natural q = m / paso;
    const Natural resto = m % paso;
    const Natural falta = paso - resto;
    if (resto > falta || (resto == falta && (!par || q % 2 == 1)))
        ++q;
    return conSigno(q * paso, unidades < 0);
}

QString cifras(Natural n)
{
    char buf[40];
    int i = sizeof buf;
    do {
        buf[--i] = char('0' + int(n % 10));
        n /= 10;
    } while (n != 0);
    return QString::fromLatin1(buf + i, qsizetype(sizeof buf) - i);
}

QString aTexto(__int128 unidades, bool ceroInicial)
{
    const Natural m = magnitud(unidades);
    const Natural entero = m / Natural(Decimal::kUnidad);
    const Natural fraccion = m % Natural(Decimal::kUnidad);
    QString s = (entero == 0 && fraccion != 0 && !ceroInicial) ? QString() : cifras(entero);
    if (fraccion != 0) {
        QString f = cifras(fraccion).rightJustified(Decimal::kDecimales, u'0');
        while (f.endsWith(u'0'))
            f.chop(1);
        s += u'.' + f;
    }
    if (unidades < 0)
        s.prepend(u'-');
    return s;
}

} // namespace

std::optional<Decimal> Decimal::leer(QStringView texto)
{
    qsizetype i = 0;
    const bool negativo = texto.startsWith(u'-');
    if (negativo || texto.startsWith(u'+'))
        ++i;
    Natural m = 0;
    int decimales = -1; // no point read yet
    bool hayCifra = false;
    int primeraSobrante = -1; // first digit beyond the ninth decimal decides the rounding
    for (; i < texto.size(); ++i) {
        const char16_t c = texto[i].unicode();
        if (c == u'.' && decimales < 0) {
            decimales = 0;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        hayCifra = true;
        if (decimales == kDecimales) {
            if (primeraSobrante < 0)
                primeraSobrante = c - u'0';
            continue;
        }
        if (decimales >= 0)
            ++decimales;
        if (__builtin_mul_overflow(m, Natural(10), &m) || __builtin_add_overflow(m, Natural(c - u'0'), &m))
            return std::nullopt;
    }
    if (!hayCifra)
        return std::nullopt;
    if (__builtin_mul_overflow(m, potencia10(kDecimales - (decimales < 0 ? 0 : decimales)), &m))
        return std::nullopt;
    if (primeraSobrante >= 5)
        ++m;
    if (m > kMaximo)
        return std::nullopt;
    return desdeUnidades(conSigno(m, negativo));
}

Decimal operator*(Decimal a, Decimal b)
{
    // Whole part times b is exact; only the fraction's product needs rounding,
    // and splitting keeps the intermediate inside 128 bits.
    const Natural x = magnitud(a.m_unidades);
    const Natural y = magnitud(b.m_unidades);
    const Natural unidad = Natural(Decimal::kUnidad);
    const Natural m = (x / unidad) * y + dividirRedondeando((x % unidad) * y, unidad);
    return Decimal::desdeUnidades(conSigno(m, (a.m_unidades < 0) != (b.m_unidades < 0)));
}

Decimal operator/(Decimal a, Decimal b)
{
    if (b.esCero())
        return {};
    const Natural x = magnitud(a.m_unidades);
    const Natural y = magnitud(b.m_unidades);
    Natural q = x / y;
    Natural resto = x % y;
    for (int i = 0; i < Decimal::kDecimales; ++i) {
        resto *= 10;
        q = q * 10 + resto / y;
        resto %= y;
    }
    if (resto >= y - resto)
        ++q;
    return Decimal::desdeUnidades(conSigno(q, (a.m_unidades < 0) != (b.m_unidades < 0)));
}

Decimal Decimal::redondeado(int decimales) const
{
    return desdeUnidades(redondear(m_unidades, decimales, false));
}

Decimal Decimal::redondeadoPar(int decimales) const
{
    return desdeUnidades(redondear(m_unidades, decimales, true));
}

std::int64_t Decimal::aEntero() const
{
    return std::int64_t(redondear(m_unidades, 0, false) / kUnidad);
}

std::int64_t Decimal::aEnteroPar() const
{
    return std::int64_t(redondear(m_unidades, 0, true) / kUnidad);
}

QString Decimal::texto() const
{
    return aTexto(m_unidades, true);
}

QString Decimal::textoCorto() const
{
    return aTexto(m_unidades, false);
}

} // namespace kv
